// The configuration reader. Every search moves forward among the siblings after the last element
// found, so the order of the elements in the file decides what is seen.
#include "app/installer_config.h"

#include "app/config_document.h"
#include "xml/xml_document.h"

namespace {

// What the walk over the download entries has learned so far.
struct EntrySearch {
  bool defaultMark = false;  // an entry marked default was met and its link not yet taken
  bool osLink = false;       // the link for this system was found
  bool defaultLink = false;  // the default link was found
  bool result = false;       // some link was found
};

// Inside the entry for this system, with "os" current: its "bit" must match, then its "rlink" is
// the installer link. True when the search is over.
bool ReadEntryForThisSystem(CXmlDocument& document, const PlatformInfo& platform, InstallerConfig& config,
                            EntrySearch& search) {
  if (!document.FindElement(u"bit") || CurrentText(document) != platform.strBits) return false;
  if (!document.FindElement(u"rlink")) return false;
  config.strInstallerUrl = CurrentText(document);
  config.strInstallerSha256 = LinkDigest(document);
  search.osLink = true;
  if (search.defaultMark) {
    // This entry is itself the default one.
    config.strDefaultUrl = config.strInstallerUrl;
    config.strDefaultSha256 = config.strInstallerSha256;
    return true;
  }
  if (search.defaultLink) return true;
  search.result = true;
  return false;
}

// Inside a default entry for another system, with "os" current: its "rlink" is the default link.
// The mark is used up whether or not the link is there. True when the search is over.
bool ReadDefaultEntry(CXmlDocument& document, InstallerConfig& config, EntrySearch& search) {
  search.defaultMark = false;
  if (!document.FindElement(u"rlink")) return false;
  config.strDefaultUrl = CurrentText(document);
  config.strDefaultSha256 = LinkDigest(document);
  search.result = true;
  search.defaultLink = true;
  return search.osLink;
}

// Walks the "installerInfo" entries that follow the current position among the product's
// children, until both links are known or the entries end.
bool ReadDownloadEntries(CXmlDocument& document, const PlatformInfo& platform, InstallerConfig& config) {
  EntrySearch search;
  while (document.FindElement(u"installerInfo")) {
    // A mark stays until a default entry with an "os" uses it, so an entry without "os" passes it on.
    if (document.GetAttribute(document.Current(), u"default") == u"YES") search.defaultMark = true;
    if (!document.FindChildElement(u"os")) continue;
    document.EnterElement();
    bool done = false;
    if (CurrentText(document) == platform.strName)
      done = ReadEntryForThisSystem(document, platform, config, search);
    else if (search.defaultMark)
      done = ReadDefaultEntry(document, config, search);
    if (done) return true;
    document.LeaveElement();
  }
  return search.result;
}

}  // namespace

bool LoadConfiguration(const platform::FileSource& file, const PlatformInfo& platform, InstallerConfig& config) {
  config.strInstallerUrl.clear();
  CXmlDocument document;
  if (!OpenProduct(document, file) || !DigestsWellFormed(document, document.Current())) return false;
  // An empty signer would turn the signature check off unnoticed, as an empty digest would.
  const std::optional<std::u16string> signer = ElementAttribute(document, document.Current(), kSignerAttribute);
  if (signer && signer->empty()) return false;
  config.strSigner = signer.value_or(u"");
  config.strReportUrl = ElementAttribute(document, document.Current(), kReportAttribute).value_or(u"");
  if (document.FindChildElement(u"name")) config.strProductName = FoundChildText(document);
  if (document.FindChildElement(u"registry")) config.strRegistryKey = FoundChildText(document);
  // The entries are searched after the last of "name" and "registry" that was found.
  document.EnterElement();
  return ReadDownloadEntries(document, platform, config);
}
