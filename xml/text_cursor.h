// The scanning state shared by the node scanner, attribute and name reading: a position in a
// text and the last token read there, with the token operations built on it.
#pragma once

#include <cstdint>
#include <string_view>

enum : uint32_t {
  CURSOR_CASE_BLIND = 0x8,  // MatchName compares ASCII letters without regard to case
  CURSOR_QUOTED = 0x8000,   // the last token FindAttribute read was a quoted value
};

struct TextCursor {
  TextCursor(std::u16string_view scanned, int32_t at, uint32_t cursorFlags = 0)
      : text(scanned), position(at), tokenStart(at), tokenEnd(at - 1), flags(cursorFlags) {}

  std::u16string_view text;
  int32_t position;
  int32_t tokenStart;  // first character of the last token
  int32_t tokenEnd;    // last character of the last token; tokenStart - 1 when it is empty
  uint32_t flags;

  int32_t Length() const { return static_cast<int32_t>(text.size()); }
  bool AtEnd() const { return position >= Length(); }
  int32_t TokenLength() const { return tokenEnd - tokenStart + 1; }
  std::u16string_view Token() const {
    // Every scan leaves the token inside the text.
    return TokenLength() > 0
               ? std::u16string_view(text.data() + tokenStart, static_cast<size_t>(TokenLength()))
               : std::u16string_view();
  }
};

// Most characters are above U+0020, and one comparison settles them.
inline bool IsXmlWhitespace(char16_t c) {
  return c <= u' ' && (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r');
}

// Advances over " \t\n\r" and starts an empty token there; true when a character follows.
bool SkipWhitespace(TextCursor& cursor);
// Advances to the end of the text or the first character of `delimiters`.
void ScanTo(TextCursor& cursor, std::u16string_view delimiters);
// Reads the name token that begins at `offset` (an element's start + 1): white space skipped,
// then up to a name delimiter, or one character when a delimiter comes first.
void ReadNameToken(TextCursor& cursor, int32_t offset);

// Whether the cursor's last token is the leading name of `name`: the first TokenLength()
// characters equal and followed by the end of `name` or one of " =/[]".
bool MatchName(const TextCursor& cursor, std::u16string_view name);
