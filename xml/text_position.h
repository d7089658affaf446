// Line and column of an offset in a document's text, for telling a person where something stands.
#pragma once

#include <cstdint>
#include <string_view>

struct TextPosition {
  int32_t line = 1;
  int32_t column = 1;
};

// The 1-based line and column of `offset` in `text`. CR LF, LF and a lone CR each end a line;
// columns count UTF-16 units. An offset outside the text is taken as its end.
TextPosition PositionOf(std::u16string_view text, int32_t offset);
