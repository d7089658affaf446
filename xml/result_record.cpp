// Result records are written with the document's own editing: the result text is parsed into a
// small document, the record appended (or found) and its attributes set, and the text taken back.
#include "xml/result_record.h"

#include "xml/xml_document.h"

namespace {

std::u16string_view TextAttributeName(uint32_t flags) {
  if (flags & RESULT_TYPE) return u"type";
  if (flags & RESULT_ENCODING) return u"encoding";
  if (flags & RESULT_MSG) return u"msg";
  return u"tagname";
}

}  // namespace

void AddResultRecord(std::u16string& result, uint32_t flags, std::u16string_view name,
                     std::optional<std::u16string_view> text, int32_t number, int32_t number2) {
  if (result.size() >= kResultTextLimit) return;
  CXmlDocument records(result);
  if (flags & RESULT_UPDATE) {
    if (!records.FindElement(name)) return;
  } else if (!records.AppendElement(name)) {
    return;
  }
  const int32_t record = records.Current();
  if (text) records.SetAttribute(record, TextAttributeName(flags), *text);
  if (flags & RESULT_N) {
    records.SetAttribute(record, u"n", number);
  } else if (flags & RESULT_COUNT) {
    records.SetAttribute(record, u"count", number);
  } else if (flags & RESULT_LENGTH) {
    records.SetAttribute(record, u"length", number);
  } else if (number != -1) {
    records.SetAttribute(record, u"offset", number);
  }
  if (number2 != -1) records.SetAttribute(record, u"offset2", number2);
  result = records.Text();
}
