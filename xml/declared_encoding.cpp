// Finding a declared encoding by scanning nodes from the start of a text, with names compared
// without regard to letter case.
#include "xml/declared_encoding.h"

#include <optional>

#include "xml/node_scanner.h"
#include "xml/text_cursor.h"
#include "xml/xml_document.h"

namespace {

// A cursor whose last token is the name token read at `offset`.
TextCursor NameTokenAt(std::u16string_view text, int32_t offset) {
  TextCursor cursor(text, offset, CURSOR_CASE_BLIND);
  ReadNameToken(cursor, offset);
  return cursor;
}

bool NameTokenMatches(std::u16string_view text, int32_t offset, std::u16string_view name) {
  return MatchName(NameTokenAt(text, offset), name);
}

// The named attribute of the tag whose name begins at `nameStart`, its value as the cursor's token.
std::optional<TextCursor> FindTagAttribute(std::u16string_view text, int32_t nameStart,
                                           std::u16string_view name) {
  TextCursor cursor(text, nameStart, CURSOR_CASE_BLIND);
  if (!CXmlDocument::FindAttribute(cursor, name)) return std::nullopt;
  return cursor;
}

std::u16string EncodingOfXmlDeclaration(std::u16string_view text) {
  const auto value = FindTagAttribute(text, 2, u"encoding");  // after "<?"
  return value ? std::u16string(value->Token()) : std::u16string();
}

bool IsContentTypeMeta(std::u16string_view text, int32_t tagStart) {
  const auto value = FindTagAttribute(text, tagStart + 1, u"http-equiv");
  return value && MatchName(*value, u"Content-Type");
}

// The name that follows "charset" and "=" in the meta element's content attribute, if any.
std::u16string CharsetOfMeta(std::u16string_view text, int32_t tagStart) {
  const auto value = FindTagAttribute(text, tagStart + 1, u"content");
  if (!value) return {};
  const int32_t end = value->tokenEnd + 1;
  int32_t position = value->tokenStart;
  while (position < end) {
    TextCursor token = NameTokenAt(text, position);
    position = token.position;
    if (!MatchName(token, u"charset")) continue;
    token = NameTokenAt(text, position);
    position = token.position;
    if (MatchName(token, u"=")) return std::u16string(NameTokenAt(text, position).Token());
  }
  return {};
}

}  // namespace

std::u16string GetDeclaredEncoding(std::u16string_view text) {
  TextCursor cursor(text, 0, CURSOR_CASE_BLIND);
  NodeToken node;
  bool inHtml = false;
  while (true) {
    switch (ScanNode(cursor, node, NodeMessages::Skipped)) {
      case NODE_ERROR:
      case NODE_END_OF_TEXT:
        return {};
      case NODE_PROCESSING_INSTRUCTION:
        if (node.start == 0 && NameTokenMatches(text, 2, u"xml")) return EncodingOfXmlDeclaration(text);
        break;
      case NODE_END_TAG:
        if (NameTokenMatches(text, node.start + 2, u"head")) return {};
        break;
      case NODE_START_TAG:
        if (!inHtml) {
          // The first start tag decides: an HTML document goes on to its head, any other stops.
          if (!NameTokenMatches(text, node.start + 1, u"html")) return {};
          inHtml = true;
        } else if (NameTokenMatches(text, node.start + 1, u"meta") && IsContentTypeMeta(text, node.start)) {
          return CharsetOfMeta(text, node.start);
        }
        break;
      default:
        break;
    }
  }
}
