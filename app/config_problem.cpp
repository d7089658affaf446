// Result records are small elements such as <lone_end_tag tagname="b" offset="3"/>; they are read
// back with the document class itself and turned into sentences.
#include "app/config_problem.h"

#include "app/config_document.h"
#include "app/installer_config.h"
#include "platform/utf.h"
#include "xml/text_position.h"
#include "xml/xml_document.h"

namespace {

int32_t NumberOf(const std::u16string& text) {
  if (text.empty()) return -1;
  int64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9' || value > 0x7FFFFFFF) return -1;
    value = value * 10 + (c - u'0');
  }
  return value > 0x7FFFFFFF ? -1 : static_cast<int32_t>(value);
}

// The sentence for a record; empty for the records that only describe how the file was read.
std::string Sentence(std::u16string_view kind, const std::string& name, const std::string& count) {
  using platform::JoinUtf8;
  if (kind == u"file_error") return JoinUtf8({"cannot be read: ", name});
  if (kind == u"lone_end_tag") return JoinUtf8({"the end tag </", name, "> has no start tag"});
  if (kind == u"unended_start_tag") return JoinUtf8({"<", name, "> is never closed"});
  if (kind == u"first_tag_syntax") return "\"<\" here begins no markup (write &lt; for a less-than sign)";
  if (kind == u"comment_tag_syntax") return "a comment must begin with \"<!--\"";
  if (kind == u"doctype_tag_syntax" || kind == u"exclamation_tag_syntax" || kind == u"cdata_section_syntax")
    return "markup beginning with \"<!\" that is not a comment, CDATA section or document type";
  if (kind == u"unterminated_tag_syntax") return JoinUtf8({"this ", name, " is never ended with \">\""});
  if (kind == u"no_root_element") return "the file has no element at all";
  if (kind == u"root_has_sibling") return "the file has more than one element at the top level";
  if (kind == u"nulls_removed")
    return JoinUtf8({count,
                     " zero characters were dropped while reading: the file is probably UTF-16 without a "
                     "byte-order mark"});
  return {};
}

}  // namespace

std::vector<ResultRecordNote> DescribeResultRecords(const CXmlDocument& document) {
  std::vector<ResultRecordNote> notes;
  CXmlDocument records(document.Result());
  while (records.FindElement()) {
    const int32_t element = records.Current();
    const std::u16string_view kind = records.GetElementName(element);
    std::string name;  // "tagname", "type" or "msg", whichever the record carries
    for (std::u16string_view attribute : {u"tagname", u"type", u"msg"}) {
      const std::u16string value = records.GetAttribute(element, attribute);
      if (!value.empty()) name = platform::ToUtf8(value);
    }
    std::string sentence = Sentence(kind, name, platform::ToUtf8(records.GetAttribute(element, u"count")));
    if (sentence.empty()) continue;
    const int32_t offset = kind == u"file_error" ? -1 : NumberOf(records.GetAttribute(element, u"offset"));
    notes.push_back({std::move(sentence), offset});
  }
  return notes;
}

std::string ConfigurationProblem(const platform::FileSource& file, const PlatformInfo& platform) {
  CXmlDocument document;
  if (!document.LoadFile(file)) {
    // A file that cannot be read says so itself; otherwise its markup is to blame.
    const std::vector<ResultRecordNote> notes = DescribeResultRecords(document);
    std::string problem = !notes.empty() && notes[0].offset < 0 ? "" : "not well-formed";
    for (const ResultRecordNote& note : notes) {
      if (!problem.empty()) problem += "; ";
      if (note.offset >= 0) {
        const TextPosition at = PositionOf(document.Text(), note.offset);
        problem += platform::JoinUtf8({at.line, ":", at.column, ": "});
      }
      problem += note.sentence;
    }
    return problem;
  }
  if (!document.FindElement(u"torvinwebinstaller")) return "the document element is not <torvinwebinstaller>";
  if (!document.FindChildElement(u"product")) return "<torvinwebinstaller> has no <product>";
  document.EnterElement();
  if (!DigestsWellFormed(document, document.Current()))
    return "a sha256 attribute is not 64 hexadecimal digits, so no link may be used";
  const std::optional<std::u16string> signer = ElementAttribute(document, document.Current(), kSignerAttribute);
  if (signer && signer->empty()) return "<product> has signer=\"\": an empty signer would check no signature";
  InstallerConfig config;
  if (LoadConfiguration(file, platform, config)) return {};
  return platform::JoinUtf8({"no <installerInfo> entry for ", platform.strName, " ", platform.strBits,
                             "-bit (os, bit and rlink, in that order) and none marked default=\"YES\""});
}
