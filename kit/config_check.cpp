// Checks of the configuration. The element walk follows the installer's reader: every search goes
// forward from the last element found at the same level, so an element that stands before the one
// searched first is never seen, and the finding names the element that hides it.
#include "kit/config_check.h"

#include <algorithm>
#include <array>
#include <optional>

#include "app/config_document.h"
#include "app/installer_path.h"
#include "app/run_report.h"
#include "download/sha256_text.h"
#include "kit/config_records.h"
#include "kit/vendor_folder.h"
#include "platform/http.h"
#include "platform/utf.h"
#include "xml/text_position.h"
#include "xml/xml_document.h"

namespace kit {
namespace {

constexpr std::array<std::u16string_view, 4> kOsNames = {u"Windows XP", u"Windows Vista", u"Windows 7",
                                                         u"Windows 8"};

std::string Utf8(std::u16string_view text) { return platform::ToUtf8(text); }

// Reports about one document, each finding placed at an element's start tag.
class ConfigChecker {
 public:
  ConfigChecker(const CXmlDocument& document, Findings& findings, ConfigReport& report)
      : m_doc(document), m_findings(findings), m_report(report) {}

  void CheckProduct(int32_t product);

 private:
  TextPosition Where(int32_t element) const {
    return PositionOf(m_doc.Text(), m_doc.GetRecord(element).start);
  }
  int32_t Line(int32_t element) const { return Where(element).line; }
  void Report(int32_t element, const std::string& message) {
    const TextPosition at = Where(element);
    m_findings.Add(Utf8(kConfigFileName), at.line, at.column, message);
  }
  std::string Tag(int32_t element) const { return "<" + Utf8(m_doc.GetElementName(element)) + ">"; }

  // The first child of `parent` named `name` after `after` (0: from the first child); 0 when none.
  int32_t FindAfter(int32_t parent, int32_t after, std::u16string_view name) const {
    int32_t e = after != 0 ? m_doc.GetRecord(after).nextSibling : m_doc.GetRecord(parent).firstChild;
    for (; e != 0; e = m_doc.GetRecord(e).nextSibling) {
      if (m_doc.GetElementName(e) == name) return e;
    }
    return 0;
  }
  // Every child named `name` that stands before `hider`, which the installer finds first and so
  // never looks back from.
  void ReportHidden(int32_t parent, int32_t hider, std::u16string_view name, const std::string& consequence) {
    for (int32_t e = m_doc.GetRecord(parent).firstChild; e != 0 && e != hider;
         e = m_doc.GetRecord(e).nextSibling) {
      if (m_doc.GetElementName(e) == name) {
        Report(e, Tag(e) + " stands before " + Tag(hider) + " (line " + std::to_string(Line(hider)) +
                      "), so the installer " + consequence);
      }
    }
  }

  void CheckName(int32_t product, int32_t name);
  void CheckRegistry(int32_t product, int32_t name, int32_t registry);
  void CheckEntries(int32_t product, int32_t firstSeenAfter);
  void CheckEntry(int32_t entry);
  void CheckOs(int32_t os);
  void CheckBit(int32_t bit);
  void CheckLinkOrder(int32_t entry, int32_t os, int32_t bit);
  void CheckLink(int32_t element);
  void CheckDigestCoverage(int32_t product, int32_t defaultEntry);
  // The "rlink" of an entry, looked for after its "os"; 0 when it has none.
  int32_t EntryLink(int32_t entry) const { return FindAfter(entry, FindAfter(entry, 0, u"os"), u"rlink"); }

  const CXmlDocument& m_doc;
  Findings& m_findings;
  ConfigReport& m_report;
};

void ConfigChecker::CheckProduct(int32_t product) {
  const int32_t name = FindAfter(product, 0, u"name");
  const int32_t registry = FindAfter(product, name, u"registry");
  CheckName(product, name);
  CheckRegistry(product, name, registry);
  CheckEntries(product, registry != 0 ? registry : name);
}

void ConfigChecker::CheckName(int32_t product, int32_t name) {
  if (name == 0) {
    Report(product,
           "<product> has no <name>: the window shows no title and the download is saved as \".exe\"");
    return;
  }
  const std::u16string text = m_doc.GetElementText(name);
  if (!IsPlainFileName(text + u".exe")) {
    Report(name, "the product name \"" + Utf8(text) +
                     "\" is not a plain file name (no \\ / : * ? \" < > |, no control characters, no device "
                     "name such as CON): the installer downloads nothing and shows \"Download failed.\"");
  }
}

void ConfigChecker::CheckRegistry(int32_t product, int32_t name, int32_t registry) {
  if (name != 0) ReportHidden(product, name, u"registry", "looks for the registry key only after it");
  if (registry == 0) {
    Report(product,
           "<product> has no <registry> after <name>: the registry key is empty, so the installer "
           "never finds an installed copy and never downloads a patch");
  } else if (m_doc.GetElementText(registry).empty()) {
    Report(registry,
           "the registry key is empty: the installer never finds an installed copy and never "
           "downloads a patch");
  }
}

void ConfigChecker::CheckEntries(int32_t product, int32_t firstSeenAfter) {
  if (firstSeenAfter != 0) {
    ReportHidden(product, firstSeenAfter, u"installerInfo",
                 "does not see this entry when it chooses the download (only the patch search does)");
  }
  std::optional<int32_t> firstDefault;
  bool anySeen = false;
  bool seen = firstSeenAfter == 0;
  for (int32_t e = m_doc.GetRecord(product).firstChild; e != 0; e = m_doc.GetRecord(e).nextSibling) {
    if (m_doc.GetElementName(e) != u"installerInfo") {
      if (e == firstSeenAfter) seen = true;
      continue;
    }
    anySeen = anySeen || seen;
    CheckEntry(e);
    const std::u16string mark = m_doc.GetAttribute(e, u"default");
    if (mark != u"YES") continue;
    if (firstDefault) {
      Report(e, "a second entry is marked default=\"YES\" (the first is at line " +
                    std::to_string(Line(*firstDefault)) +
                    "): the fallback link then depends on which the installer meets last");
    } else {
      firstDefault = e;
    }
  }
  if (!anySeen)
    Report(product,
           "the installer finds no <installerInfo> entry: every system gets \"Xml file is missing!\"");
  if (!firstDefault) {
    Report(product,
           "no entry is marked default=\"YES\": systems without an entry of their own get "
           "\"Xml file is missing!\" and no download has a fallback link");
  } else {
    CheckDigestCoverage(product, *firstDefault);
  }
}

// A digest belongs to its own link: one on the default entry's link checks nothing that comes from
// another entry's link.
void ConfigChecker::CheckDigestCoverage(int32_t product, int32_t defaultEntry) {
  const int32_t defaultLink = EntryLink(defaultEntry);
  if (defaultLink == 0 || !ElementAttribute(m_doc, defaultLink, kDigestAttribute)) return;
  for (int32_t e = m_doc.GetRecord(product).firstChild; e != 0; e = m_doc.GetRecord(e).nextSibling) {
    if (e == defaultEntry || m_doc.GetElementName(e) != u"installerInfo") continue;
    const int32_t link = EntryLink(e);
    if (link == 0 || ElementAttribute(m_doc, link, kDigestAttribute)) continue;
    Report(link, "<rlink> has no sha256 while the default entry's <rlink> (line " + std::to_string(Line(defaultLink)) +
                     ") has one: the download for this entry's system is not checked against a digest");
  }
}

void ConfigChecker::CheckEntry(int32_t entry) {
  const std::u16string mark = m_doc.GetAttribute(entry, u"default");
  if (!mark.empty() && mark != u"YES") {
    Report(entry,
           "default=\"" + Utf8(mark) + "\" does not mark a default entry: only \"YES\", exactly so, does");
  }
  const int32_t os = FindAfter(entry, 0, u"os");
  if (os == 0) {
    Report(entry, "the entry has no <os>, so the installer skips it");
  } else {
    CheckOs(os);
    const int32_t bit = FindAfter(entry, os, u"bit");
    ReportHidden(entry, os, u"bit", "looks for <bit> only after <os> and does not see it");
    if (bit == 0) {
      Report(entry, "the entry has no <bit> after <os>: it is never the entry for a system");
    } else {
      CheckBit(bit);
    }
    CheckLinkOrder(entry, os, bit);
  }
  for (int32_t e = m_doc.GetRecord(entry).firstChild; e != 0; e = m_doc.GetRecord(e).nextSibling) {
    const std::u16string_view name = m_doc.GetElementName(e);
    if (name == u"rlink" || name == u"patch") CheckLink(e);
  }
}

void ConfigChecker::CheckOs(int32_t os) {
  const std::u16string name = m_doc.GetElementText(os);
  if (std::find(kOsNames.begin(), kOsNames.end(), name) != kOsNames.end()) return;
  Report(
      os,
      "unknown os \"" + Utf8(name) +
          "\": the installer compares it exactly with \"Windows XP\", \"Windows Vista\", \"Windows 7\" and "
          "\"Windows 8\" (later Windows versions report themselves as \"Windows 8\")");
}

void ConfigChecker::CheckBit(int32_t bit) {
  const std::u16string bits = m_doc.GetElementText(bit);
  if (bits != u"32" && bits != u"64") {
    Report(bit,
           "unknown bit \"" + Utf8(bits) + "\": the installer compares it exactly with \"32\" and \"64\"");
  }
}

// Links are looked for after <os> (a default entry's rlink) or after <bit> (the entry of this
// system's rlink, and every patch).
void ConfigChecker::CheckLinkOrder(int32_t entry, int32_t os, int32_t bit) {
  ReportHidden(entry, os, u"rlink", "looks for links only after <os> and does not see it");
  ReportHidden(entry, os, u"patch", "looks for links only after <os> and does not see it");
  if (FindAfter(entry, os, u"rlink") == 0) Report(entry, "the entry has no <rlink> after <os>");
  if (bit == 0) return;
  for (int32_t e = m_doc.GetRecord(os).nextSibling; e != 0 && e != bit; e = m_doc.GetRecord(e).nextSibling) {
    const std::u16string_view name = m_doc.GetElementName(e);
    if (name == u"rlink" || name == u"patch") {
      Report(e, Tag(e) + " stands before " + Tag(bit) + " (line " + std::to_string(Line(bit)) +
                    "): for its own system the installer looks for it only after <bit>" +
                    (name == u"rlink" ? " (it is seen only when the entry serves as the default)" : ""));
    }
  }
}

void ConfigChecker::CheckLink(int32_t element) {
  const std::u16string url = m_doc.GetElementText(element);
  const TextPosition at = Where(element);
  const std::optional<std::u16string> digest = ElementAttribute(m_doc, element, kDigestAttribute);
  m_report.links.push_back(
      ConfigLink{url, digest.value_or(u""), Utf8(m_doc.GetElementName(element)), at.line, at.column});
  const std::string tag = Tag(element);
  if (digest && !IsSha256Text(*digest)) {
    Report(element,
           tag + " has sha256=\"" + Utf8(*digest) +
               "\", which is not 64 hexadecimal digits: the installer refuses the whole configuration "
               "and shows \"Xml file is missing!\"");
  }
  if (url.empty()) {
    Report(element, tag + " is empty");
    return;
  }
  if (url.find_first_of(u" \t\r\n") != std::u16string::npos) {
    Report(element, tag + " holds spaces or line breaks; the installer takes the text as it stands");
  }
  using namespace platform::http;
  if (!CanonicalizeAndSplit(url)) {
    if (CanonicalizeAndSplit(u"http://" + url)) {
      Report(element,
             tag + " has no scheme: the installer puts \"http://\" in front and downloads it unencrypted");
    } else {
      Report(element,
             tag + " \"" + Utf8(url) + "\" is refused by the installer's link check (\"Unrecognized URL\")");
    }
    return;
  }
  UrlParts parts;
  if (!SplitUrl(url, parts) || (parts.scheme != Scheme::Http && parts.scheme != Scheme::Https)) {
    Report(element, tag + " \"" + Utf8(url) + "\" is not an http or https link");
  } else if (parts.scheme == Scheme::Http) {
    Report(element, tag + " is plain http: the download can be changed on its way; use https");
  }
}

}  // namespace

ConfigReport CheckConfiguration(const std::u16string& folder, Findings& findings) {
  ConfigReport report;
  CXmlDocument document;
  const bool wellFormed = document.LoadFile(InFolder(folder, kConfigFileName));
  if (!wellFormed) {
    findings.Add(platform::ToUtf8(kConfigFileName),
                 "the installer cannot use this file and shows \"Xml file is missing!\" on every computer");
  }
  ReportResultRecords(document, findings);
  if (!wellFormed) return report;
  if (!document.FindElement(u"torvinwebinstaller")) {
    findings.Add(platform::ToUtf8(kConfigFileName), "the document element is not <torvinwebinstaller>");
    return report;
  }
  const int32_t root = document.Current();
  if (!document.FindChildElement(u"product")) {
    const TextPosition at = PositionOf(document.Text(), document.GetRecord(root).start);
    findings.Add(platform::ToUtf8(kConfigFileName), at.line, at.column,
                 "<torvinwebinstaller> has no <product>");
    return report;
  }
  report.readable = true;
  const int32_t product = document.Child();
  const std::optional<std::u16string> signer = ElementAttribute(document, product, kSignerAttribute);
  report.signer = signer.value_or(u"");
  if (signer && signer->empty()) {
    const TextPosition at = PositionOf(document.Text(), document.GetRecord(product).start);
    findings.Add(platform::ToUtf8(kConfigFileName), at.line, at.column,
                 "<product> has signer=\"\": the installer refuses the whole configuration and shows \"Xml file "
                 "is missing!\" (leave signer out to check no signature)");
  }
  report.report = ElementAttribute(document, product, kReportAttribute).value_or(u"");
  if (!report.report.empty() && !IsReportAddress(report.report)) {
    const TextPosition at = PositionOf(document.Text(), document.GetRecord(product).start);
    findings.Add(platform::ToUtf8(kConfigFileName), at.line, at.column,
                 "report=\"" + platform::ToUtf8(report.report) +
                     "\" is not an https address: the installer sends no report to it");
  }
  ConfigChecker(document, findings, report).CheckProduct(product);
  return report;
}

const ConfigLink* FindLink(const ConfigReport& report, const std::u16string& url) {
  for (const ConfigLink& link : report.links) {
    if (link.url == url) return &link;
  }
  return nullptr;
}

}  // namespace kit
