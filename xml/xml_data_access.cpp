// Reading an element's character data and attribute values, with character and entity
// references decoded.
#include <algorithm>

#include "xml/attribute_walk.h"
#include "xml/named_entity_table.h"
#include "xml/xml_document.h"

namespace {

char16_t FoldToLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

int32_t DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return 99;
}

// As the C library reads a wide number in a base: leading white space, a sign, for base 16 an
// optional "0x", then digits up to the first character that is not one; saturating at the limits.
int32_t ReadNumber(const char16_t* digits, int32_t count, int32_t base) {
  int32_t i = 0;
  while (i < count && (digits[i] == u' ' || (digits[i] >= u'\t' && digits[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < count && (digits[i] == u'+' || digits[i] == u'-')) negative = digits[i++] == u'-';
  if (base == 16 && i + 2 < count && digits[i] == u'0' && (digits[i + 1] == u'x' || digits[i + 1] == u'X') &&
      DigitValue(digits[i + 2]) < 16) {
    i += 2;
  }
  int64_t value = 0;
  for (; i < count && DigitValue(digits[i]) < base; ++i) {
    value = std::min<int64_t>(value * base + DigitValue(digits[i]), int64_t{1} << 32);
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The code of a reference name (folded to lower case, without "&" and ";"), or 0.
int32_t ReferenceValue(const char16_t* name, int32_t length, bool hadCapitals) {
  if (length > 0 && name[0] == u'#') {
    if (length > 1 && name[1] == u'x') return ReadNumber(name + 2, length - 2, 16);
    return ReadNumber(name + 1, length - 1, 10);
  }
  return LookupNamedEntity(name, length, hadCapitals);
}

void AppendCodePoint(std::u16string& out, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  if (value > 0 && v < 0x10000) {
    out += static_cast<char16_t>(v);
    return;
  }
  out += static_cast<char16_t>((((v - 0x10000) >> 10) & 0x3FF) | 0xD800);
  out += static_cast<char16_t>((v & 0x3FF) | 0xDC00);
}

}  // namespace

bool CXmlDocument::FindAttribute(TextCursor& cursor, std::u16string_view name) {
  return WalkStartTag(cursor, name) != AttributeMatch::None;
}

std::u16string CXmlDocument::UnescapeText(const char16_t* chars, int32_t count) {
  constexpr int32_t kMaxReferenceName = 9;
  std::u16string out;
  out.reserve(static_cast<size_t>(std::max(count, 0)));
  for (int32_t i = 0; i < count;) {
    if (chars[i] != u'&') {
      out += chars[i++];
      continue;
    }
    char16_t name[kMaxReferenceName];
    int32_t length = 0, next = i + 1;
    bool hadCapitals = false;
    for (; length < kMaxReferenceName && next < count && chars[next] < 0x80 && chars[next] != u';'; ++next) {
      hadCapitals = hadCapitals || (chars[next] >= u'A' && chars[next] <= u'Z');
      name[length++] = FoldToLower(chars[next]);
    }
    const int32_t value = next < count && chars[next] == u';' ? ReferenceValue(name, length, hadCapitals) : 0;
    if (value == 0) {
      out += chars[i++];
      continue;
    }
    AppendCodePoint(out, value);
    i = next + 1;
  }
  return out;
}

std::u16string CXmlDocument::GetElementText(int32_t element) const {
  if (!IsElement(element)) return {};
  const ElementRecord& record = GetRecord(element);
  const int32_t startTag = StartTagLength(element);
  if (startTag >= record.length || record.firstChild != 0) return {};
  // An end tag too long for its field is left in the range; it scans as a node that adds nothing.
  const bool endTagExact = !record.EndTagSaturated();
  const int32_t textLength = static_cast<int32_t>(m_strText.size());
  const int32_t begin = std::clamp(record.start + startTag, 0, textLength);
  const int32_t end =
      std::clamp(record.start + record.length - (endTagExact ? record.EndTagLength() : 0), begin, textLength);
  const std::u16string_view content(m_strText.data() + begin, static_cast<size_t>(end - begin));
  if (endTagExact && content.find(u'<') == std::u16string_view::npos) {
    return UnescapeText(content.data(), static_cast<int32_t>(content.size()));
  }
  // The scan keeps document offsets, as the parse had them: whether a ">" ends a processing
  // instruction, comment or CDATA section depends on how far into the text it lies.
  const std::u16string_view upToEnd(m_strText.data(), static_cast<size_t>(end));
  std::u16string text;
  TextCursor cursor(upToEnd, begin);
  NodeToken node;
  for (int32_t type; (type = ScanNode(cursor, node, NodeMessages::Skipped)) != NODE_END_OF_TEXT;) {
    if (type == NODE_TEXT) {
      text += UnescapeText(upToEnd.data() + node.start, node.length);
    } else if (type == NODE_CDATA_SECTION && node.length >= 12) {
      text.append(upToEnd.substr(node.start + 9, node.length - 12));
    }
  }
  return text;
}

std::u16string CXmlDocument::GetAttribute(int32_t element, std::u16string_view name) const {
  if (!IsElement(element) || m_nNodeType != NODE_START_TAG || name.empty()) return {};
  const ElementRecord& record = GetRecord(element);
  // The walk sees the start tag only, so a malformed tag never lends it a later tag's attributes.
  const int32_t tagEnd =
      std::min(record.start + StartTagLength(element), static_cast<int32_t>(m_strText.size()));
  if (record.start + 1 > tagEnd) return {};
  TextCursor cursor(std::u16string_view(m_strText).substr(0, tagEnd), record.start + 1);
  if (!FindAttribute(cursor, name)) return {};
  return UnescapeText(cursor.text.data() + cursor.tokenStart, cursor.TokenLength());
}

std::u16string_view CXmlDocument::GetElementName(int32_t element) const {
  if (!IsElement(element)) return {};
  TextCursor cursor(m_strText, 0);
  ReadNameToken(cursor, GetRecord(element).start + 1);
  return cursor.Token();
}
