// Token operations on a TextCursor and the name comparison.
#include "xml/text_cursor.h"

#include <cstring>

namespace {

bool EndsNameArgument(std::u16string_view name, size_t at) {
  if (at >= name.size()) return true;
  const char16_t c = name[at];
  return c == u' ' || c == u'=' || c == u'/' || c == u'[' || c == u']';
}

char16_t FoldToUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

// Letters match in any case until a character above U+007F has matched; from then on every
// character must be equal.
bool EqualCaseBlind(std::u16string_view token, std::u16string_view name) {
  bool exact = false;
  for (size_t i = 0; i < token.size(); ++i) {
    const char16_t a = token[i], b = name[i];
    if (a == b) {
      exact = exact || a > 0x7F;
      continue;
    }
    if (exact || FoldToUpper(a) != FoldToUpper(b)) return false;
  }
  return true;
}

}  // namespace

bool SkipWhitespace(TextCursor& cursor) {
  const int32_t length = cursor.Length();
  while (cursor.position < length && IsXmlWhitespace(cursor.text[cursor.position])) ++cursor.position;
  cursor.tokenStart = cursor.position;
  cursor.tokenEnd = cursor.position - 1;
  return cursor.position < length;
}

void ScanTo(TextCursor& cursor, std::u16string_view delimiters) {
  const int32_t length = cursor.Length();
  while (cursor.position < length &&
         delimiters.find(cursor.text[cursor.position]) == std::u16string_view::npos) {
    ++cursor.position;
  }
}

void ReadNameToken(TextCursor& cursor, int32_t offset) {
  cursor.position = offset;
  SkipWhitespace(cursor);
  ScanTo(cursor, u" \t\n\r<>=\\/?!\"';");
  if (cursor.position == cursor.tokenStart && !cursor.AtEnd()) ++cursor.position;
  cursor.tokenEnd = cursor.position - 1;
}

bool MatchName(const TextCursor& cursor, std::u16string_view name) {
  const int32_t length = cursor.TokenLength();
  if (length <= 0) return EndsNameArgument(name, 0);
  const auto size = static_cast<size_t>(length);
  if (name.size() < size || !EndsNameArgument(name, size)) return false;
  const char16_t* token = cursor.text.data() + cursor.tokenStart;
  if (cursor.flags & CURSOR_CASE_BLIND) return EqualCaseBlind({token, size}, name.substr(0, size));
  // Most names that differ differ in the first unit, which costs no call.
  return token[0] == name[0] && std::memcmp(token, name.data(), size * sizeof(char16_t)) == 0;
}
