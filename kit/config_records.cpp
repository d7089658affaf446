// Result records are small elements such as <lone_end_tag tagname="b" offset="3"/>; they are read
// back with the document class itself and turned into sentences.
#include "kit/config_records.h"

#include <string>

#include "kit/vendor_folder.h"
#include "platform/utf.h"
#include "xml/text_position.h"
#include "xml/xml_document.h"

namespace kit {
namespace {

struct Record {
  std::u16string_view kind;
  std::string tagName;  // "tagname", "type" or "msg", whichever the record carries
  int32_t offset = -1;
};

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
std::string Sentence(const Record& r, const CXmlDocument& records, int32_t element) {
  const std::string count = platform::ToUtf8(records.GetAttribute(element, u"count"));
  if (r.kind == u"file_error") return "cannot be read: " + r.tagName;
  if (r.kind == u"lone_end_tag") return "the end tag </" + r.tagName + "> has no start tag";
  if (r.kind == u"unended_start_tag") return "<" + r.tagName + "> is never closed";
  if (r.kind == u"first_tag_syntax") return "\"<\" here begins no markup (write &lt; for a less-than sign)";
  if (r.kind == u"comment_tag_syntax") return "a comment must begin with \"<!--\"";
  if (r.kind == u"doctype_tag_syntax" || r.kind == u"exclamation_tag_syntax" ||
      r.kind == u"cdata_section_syntax")
    return "markup beginning with \"<!\" that is not a comment, CDATA section or document type";
  if (r.kind == u"unterminated_tag_syntax") return "this " + r.tagName + " is never ended with \">\"";
  if (r.kind == u"no_root_element") return "the file has no element at all";
  if (r.kind == u"root_has_sibling") return "the file has more than one element at the top level";
  if (r.kind == u"nulls_removed")
    return count +
           " zero characters were dropped while reading: the file is probably UTF-16 without a byte-order "
           "mark";
  return {};
}

}  // namespace

void ReportResultRecords(const CXmlDocument& document, Findings& findings) {
  CXmlDocument records(document.Result());
  const std::string file = platform::ToUtf8(kConfigFileName);
  while (records.FindElement()) {
    const int32_t element = records.Current();
    Record r;
    r.kind = records.GetElementName(element);
    for (std::u16string_view name : {u"tagname", u"type", u"msg"}) {
      const std::u16string value = records.GetAttribute(element, name);
      if (!value.empty()) r.tagName = platform::ToUtf8(value);
    }
    r.offset = NumberOf(records.GetAttribute(element, u"offset"));
    const std::string sentence = Sentence(r, records, element);
    if (sentence.empty()) continue;
    if (r.offset < 0 || r.kind == u"file_error") {
      findings.Add(file, sentence);
    } else {
      const TextPosition at = PositionOf(document.Text(), r.offset);
      findings.Add(file, at.line, at.column, sentence);
    }
  }
}

}  // namespace kit
