// Counting lines up to an offset.
#include "xml/text_position.h"

#include <algorithm>

TextPosition PositionOf(std::u16string_view text, int32_t offset) {
  const size_t end = std::min(static_cast<size_t>(std::max(offset, 0)), text.size());
  TextPosition at;
  size_t lineStart = 0;
  for (size_t i = 0; i < end; ++i) {
    const char16_t c = text[i];
    if (c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))) {
      ++at.line;
      lineStart = i + 1;
    }
  }
  at.column = static_cast<int32_t>(end - lineStart) + 1;
  return at;
}
