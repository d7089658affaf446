// Bidirectional levels from FriBidi, faces from the face set, shaping by HarfBuzz.
#include "platform/posix/shaped_line.h"

#include <fribidi.h>
#include <hb-ft.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace platform::posix {
namespace {

struct Run {
  size_t start = 0;  // in code points
  size_t length = 0;
  size_t face = 0;
  FriBidiLevel level = 0;
};

struct BufferDeleter {
  void operator()(hb_buffer_t* b) const { hb_buffer_destroy(b); }
};

std::vector<uint32_t> CodePoints(std::u16string_view text) {
  std::vector<uint32_t> points;
  for (size_t i = 0; i < text.size();) {
    const char16_t c = text[i++];
    if (c >= 0xD800 && c < 0xDC00 && i < text.size() && text[i] >= 0xDC00 && text[i] < 0xE000) {
      points.push_back(0x10000 + ((static_cast<uint32_t>(c) - 0xD800) << 10) + (text[i++] - 0xDC00));
    } else {
      points.push_back(c);
    }
  }
  return points;
}

std::vector<FriBidiLevel> BidiLevels(const std::vector<uint32_t>& points, bool rightToLeft) {
  const auto n = static_cast<FriBidiStrIndex>(points.size());
  std::vector<FriBidiCharType> types(points.size());
  std::vector<FriBidiBracketType> brackets(points.size());
  std::vector<FriBidiLevel> levels(points.size(), rightToLeft ? 1 : 0);
  fribidi_get_bidi_types(points.data(), n, types.data());
  fribidi_get_bracket_types(points.data(), n, types.data(), brackets.data());
  FriBidiParType base = rightToLeft ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
  if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &base, levels.data()) == 0)
    std::fill(levels.begin(), levels.end(), rightToLeft ? 1 : 0);
  return levels;
}

// Marks, joiners and variation selectors stay in the face of the character they belong to, so that
// the run is shaped together.
bool JoinsPrevious(uint32_t point) {
  const hb_unicode_general_category_t category =
      hb_unicode_general_category(hb_unicode_funcs_get_default(), point);
  return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
         category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK ||
         category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK || point == 0x200C || point == 0x200D ||
         (point >= 0xFE00 && point <= 0xFE0F);
}

std::vector<Run> Itemise(FaceSet& faces, const std::vector<uint32_t>& points,
                         const std::vector<FriBidiLevel>& levels) {
  std::vector<Run> runs;
  for (size_t i = 0; i < points.size(); ++i) {
    size_t face = 0;
    if (i > 0 && JoinsPrevious(points[i]) && FT_Get_Char_Index(faces.Face(runs.back().face), points[i]) != 0)
      face = runs.back().face;
    else
      face = faces.FaceFor(points[i]);
    if (!runs.empty() && runs.back().face == face && runs.back().level == levels[i]) {
      ++runs.back().length;
    } else {
      runs.push_back(Run{i, 1, face, levels[i]});
    }
  }
  return runs;
}

// Rule L2: from the highest level down to the lowest odd one, every stretch of runs at that level
// or above turns round.
void ToVisualOrder(std::vector<Run>& runs) {
  if (runs.empty()) return;
  FriBidiLevel highest = 0, lowestOdd = 255;
  for (const Run& run : runs) {
    highest = std::max(highest, run.level);
    if (run.level % 2 == 1) lowestOdd = std::min(lowestOdd, run.level);
  }
  for (int level = highest; level >= lowestOdd && level > 0; --level) {
    for (size_t i = 0; i < runs.size();) {
      if (runs[i].level < level) {
        ++i;
        continue;
      }
      size_t end = i;
      while (end < runs.size() && runs[end].level >= level) ++end;
      std::reverse(runs.begin() + static_cast<ptrdiff_t>(i), runs.begin() + static_cast<ptrdiff_t>(end));
      i = end;
    }
  }
}

// Latin text of the face asked for is set as the platform's text call sets it: no kerning, no
// optional ligatures.
constexpr hb_feature_t kPlainFeatures[] = {{HB_TAG('k', 'e', 'r', 'n'), 0, 0, HB_FEATURE_GLOBAL_END},
                                           {HB_TAG('l', 'i', 'g', 'a'), 0, 0, HB_FEATURE_GLOBAL_END},
                                           {HB_TAG('c', 'l', 'i', 'g'), 0, 0, HB_FEATURE_GLOBAL_END}};

int32_t HintedAdvance(FT_Face face, uint32_t glyph) {
  if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) return 0;
  return static_cast<int32_t>((face->glyph->advance.x + 32) >> 6);
}

int32_t Pixels(hb_position_t position) { return static_cast<int32_t>(std::lround(position / 64.0)); }

void ShapeRun(FaceSet& faces, const std::vector<uint32_t>& points, const Run& run, ShapedLine& line) {
  std::unique_ptr<hb_buffer_t, BufferDeleter> buffer(hb_buffer_create());
  hb_buffer_add_utf32(buffer.get(), points.data(), static_cast<int>(points.size()),
                      static_cast<unsigned>(run.start), static_cast<int>(run.length));
  const bool rtl = run.level % 2 == 1;
  hb_buffer_set_direction(buffer.get(), rtl ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
  hb_buffer_guess_segment_properties(buffer.get());
  const bool plain = run.face == 0 && !rtl;
  hb_shape(faces.ShapingFont(run.face), buffer.get(), plain ? kPlainFeatures : nullptr,
           plain ? static_cast<unsigned>(std::size(kPlainFeatures)) : 0);
  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer.get(), &count);
  const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer.get(), &count);
  const FT_Face face = faces.Face(run.face);
  for (unsigned i = 0; i < count; ++i) {
    line.glyphs.push_back(PlacedGlyph{run.face, infos[i].codepoint,
                                      line.width + Pixels(positions[i].x_offset),
                                      Pixels(positions[i].y_offset)});
    if (positions[i].x_advance != 0) line.width += HintedAdvance(face, infos[i].codepoint);
  }
}

}  // namespace

ShapedLine ShapeLine(FaceSet& faces, std::u16string_view text, bool rightToLeft) {
  ShapedLine line;
  const std::vector<uint32_t> points = CodePoints(text);
  if (points.empty()) return line;
  std::vector<Run> runs = Itemise(faces, points, BidiLevels(points, rightToLeft));
  ToVisualOrder(runs);
  for (const Run& run : runs) ShapeRun(faces, points, run, line);
  return line;
}

}  // namespace platform::posix
