// The token walk through a start tag that finds an attribute.
#include "xml/attribute_walk.h"

#include <algorithm>

namespace {

bool IsTagEnd(char16_t c) { return c == u'>' || c == u'/' || c == u'?'; }

// Reads one token of a start tag; false at the end of the text. A token that begins with a quote
// is the quoted text (CURSOR_QUOTED set); any other runs to a delimiter or is one character.
bool ReadAttributeToken(TextCursor& cursor, bool afterEquals) {
  if (!SkipWhitespace(cursor)) return false;
  const char16_t first = cursor.text[cursor.position];
  if (first == u'"' || first == u'\'') {
    cursor.flags |= CURSOR_QUOTED;
    cursor.tokenStart = cursor.position + 1;
    const size_t close = cursor.text.find(first, static_cast<size_t>(cursor.tokenStart));
    const int32_t end = close == std::u16string_view::npos ? cursor.Length() : static_cast<int32_t>(close);
    cursor.tokenEnd = end - 1;
    cursor.position = std::min(end + 1, cursor.Length());
    return true;
  }
  cursor.flags &= ~CURSOR_QUOTED;
  ScanTo(cursor, afterEquals ? std::u16string_view(u" \t\n\r>") : std::u16string_view(u"= \t\n\r>/?"));
  if (cursor.position == cursor.tokenStart) ++cursor.position;
  cursor.tokenEnd = cursor.position - 1;
  return true;
}

}  // namespace

AttributeMatch WalkStartTag(TextCursor& cursor, std::u16string_view name) {
  bool tagName = true, afterEquals = false, matched = false;
  int32_t matchStart = 0, matchEnd = -1;
  auto resultIsMatchedName = [&] {
    cursor.tokenStart = matchStart;
    cursor.tokenEnd = matchEnd;
    return AttributeMatch::NameOnly;
  };
  for (;;) {
    const int32_t whitespaceStart = cursor.position;
    if (!ReadAttributeToken(cursor, afterEquals))
      return matched ? resultIsMatchedName() : AttributeMatch::None;
    const bool quoted = (cursor.flags & CURSOR_QUOTED) != 0;
    if (afterEquals || quoted) {
      if (matched) return afterEquals ? AttributeMatch::Value : resultIsMatchedName();
      afterEquals = false;
      continue;
    }
    const char16_t first = cursor.text[cursor.tokenStart];
    if (first == u'=' && cursor.TokenLength() == 1) {
      afterEquals = true;
    } else if (IsTagEnd(first)) {
      cursor.position = whitespaceStart;
      return matched ? resultIsMatchedName() : AttributeMatch::None;
    } else if (matched) {
      return resultIsMatchedName();
    } else if (tagName) {
      tagName = false;
    } else if (name.empty()) {
      return AttributeMatch::Value;
    } else if (MatchName(cursor, name)) {
      matched = true;
      matchStart = cursor.tokenStart;
      matchEnd = cursor.tokenEnd;
    }
  }
}
