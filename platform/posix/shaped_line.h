// One line of text laid out for drawing on Linux: the bidirectional algorithm orders it, each run
// of one direction and one face is shaped (Arabic letters join, marks sit on their letters), and
// the glyphs come in the order they stand from left to right, each at its pixel position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/posix/face_set.h"

namespace platform::posix {

struct PlacedGlyph {
  size_t face = 0;     // index in the face set
  uint32_t glyph = 0;  // glyph index in that face
  int32_t x = 0;       // the glyph's origin, in pixels from the line's left end
  int32_t rise = 0;    // pixels above the baseline (marks)
};

struct ShapedLine {
  std::vector<PlacedGlyph> glyphs;
  int32_t width = 0;  // the sum of the advances
};

// Each glyph advances by its hinted advance rounded to whole pixels, as the platform's text call
// sums them, so a line of the primary face alone stands exactly where it did before shaping; the
// primary face's runs that read left to right get no kerning and no optional ligatures either.
// `rightToLeft`: the paragraph reads right to left (else left to right); runs of the other
// direction inside it keep theirs.
ShapedLine ShapeLine(FaceSet& faces, std::u16string_view line, bool rightToLeft);

}  // namespace platform::posix
