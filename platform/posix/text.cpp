// The text seam on Linux: fontconfig picks the face file the way the Windows font mapper picks a
// face (so "Arial" becomes its metric-compatible twin), FreeType renders it with the Windows
// metrics: cell height from the face's Windows ascent and descent, width from its average width.
// Characters the face lacks come from the faces fontconfig offers for them (FaceSet); lines are
// ordered and shaped by ShapeLine.
#include "platform/text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/face_set.h"
#include "platform/posix/shaped_line.h"
#include "platform/utf.h"

namespace platform {
namespace {

constexpr int32_t kDefaultUiHeight = -11;  // the default user-interface font: 8 points at 96 dpi
constexpr int32_t kDefaultHeight = -12;    // a request of height 0

// FreeType and fontconfig for the whole process, both closed at its end (fontconfig keeps its
// configuration until then).
struct Libraries {
  FT_Library freetype = nullptr;
  bool fontconfig = false;
  Libraries() {
    FT_Init_FreeType(&freetype);
    fontconfig = FcInit() == FcTrue;
  }
  ~Libraries() {
    FT_Done_FreeType(freetype);
    if (fontconfig) FcFini();
  }
};

const Libraries& Shared() {
  static Libraries libraries;
  return libraries;
}

bool IsGenericFamily(const std::string& family) {
  static const char* const kGeneric[] = {"sans-serif", "serif",     "monospace", "sans", "cursive",
                                         "fantasy",    "system-ui", "emoji",     "math"};
  return std::any_of(std::begin(kGeneric), std::end(kGeneric), [&](const char* g) { return family == g; });
}

struct FcPatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

// Whether `family` is the requested family or one the configuration binds strongly to it (as
// "Liberation Sans" to "Arial"); the weakly bound rest are the generic fallbacks every name gets.
bool IsStrongFamily(FcPattern* substituted, const FcChar8* family) {
  FcValue value;
  FcValueBinding binding;
  for (int i = 0; FcPatternGetWithBinding(substituted, FC_FAMILY, i, &value, &binding) == FcResultMatch;
       ++i) {
    if (binding != FcValueBindingStrong || value.type != FcTypeString) return false;
    if (FcStrCmpIgnoreCase(value.u.s, family) == 0) return true;
  }
  return false;
}

struct FaceFile {
  std::string path;
  int index = 0;
};

// The face file for `family`; none when the family cannot be had: fontconfig always answers with
// some face, so its answer counts only when it is the family itself or a strongly bound substitute.
std::optional<FaceFile> FindFace(const std::string& family, bool bold) {
  if (!Shared().fontconfig) return std::nullopt;
  PatternPtr pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match) return std::nullopt;
  FcChar8* matched = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  if (FcPatternGetString(match.get(), FC_FAMILY, 0, &matched) != FcResultMatch ||
      FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
    return std::nullopt;
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
  if (!IsGenericFamily(family) && !IsStrongFamily(pattern.get(), matched)) return std::nullopt;
  return FaceFile{reinterpret_cast<const char*>(file), index};
}

}  // namespace

struct Font::Impl {
  std::unique_ptr<posix::FaceSet> faces;  // none when no face could be had
  bool isDefault = false;
  bool underline = false;
  int32_t ascent = 0;      // pixels above the baseline
  int32_t cellHeight = 0;  // line height
  int32_t underlineOffset = 0;
  int32_t underlineThickness = 1;

  bool Open(const std::string& family, const FontRequest& request) {
    const auto file = FindFace(family, request.weight >= 550);
    FT_Face face = nullptr;
    if (!file || FT_New_Face(Shared().freetype, file->path.c_str(), file->index, &face) != 0) return false;
    underline = request.underline;
    FT_F26Dot6 ppemX = 0, ppemY = 0;
    if (!Scale(face, request.height, request.width, ppemX, ppemY)) {
      FT_Done_Face(face);
      return false;
    }
    faces = std::make_unique<posix::FaceSet>(Shared().freetype, face, family, ppemX, ppemY);
    return true;
  }

  bool Scale(FT_Face face, int32_t height, int32_t width, FT_F26Dot6& ppemX26, FT_F26Dot6& ppemY26) {
    const double em = face->units_per_EM;
    double winAscent = face->ascender, winDescent = -face->descender, avgWidth = em / 2;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
      winAscent = os2->usWinAscent;
      winDescent = os2->usWinDescent;
      if (os2->xAvgCharWidth > 0) avgWidth = os2->xAvgCharWidth;
    }
    if (em <= 0 || winAscent + winDescent <= 0) return false;
    if (height == 0) height = kDefaultHeight;
    const double ppemY = height > 0 ? height * em / (winAscent + winDescent) : -height;
    const double ppemX = width > 0 ? width * em / avgWidth : ppemY;
    ppemX26 = std::lround(ppemX * 64);
    ppemY26 = std::lround(ppemY * 64);
    if (FT_Set_Char_Size(face, ppemX26, ppemY26, 72, 72) != 0) return false;
    ascent = static_cast<int32_t>(std::lround(winAscent * ppemY / em));
    cellHeight =
        height > 0 ? height : static_cast<int32_t>(std::lround((winAscent + winDescent) * ppemY / em));
    underlineOffset = static_cast<int32_t>(std::lround(-face->underline_position * ppemY / em));
    underlineThickness =
        std::max<int32_t>(1, static_cast<int32_t>(std::lround(face->underline_thickness * ppemY / em)));
    return true;
  }

  posix::ShapedLine Shape(std::u16string_view line, bool rightToLeft) const {
    return posix::ShapeLine(*faces, line, rightToLeft);
  }
  int32_t Measure(std::u16string_view line) const { return Shape(line, false).width; }
};

Font::Font() : m_impl(std::make_unique<Impl>()) {
  FontRequest request;
  request.height = kDefaultUiHeight;
  m_impl->Open("sans-serif", request);  // without it, text measures empty and draws nothing
  m_impl->isDefault = true;
}

Font::Font(const FontRequest& request) : m_impl(std::make_unique<Impl>()) {
  if (!request.face.empty() && m_impl->Open(ToUtf8(request.face), request)) return;
  *this = Font();
}

Font::Font(Font&&) noexcept = default;
Font& Font::operator=(Font&&) noexcept = default;
Font::~Font() = default;

bool Font::IsDefault() const { return m_impl->isDefault; }

namespace {

// Where the first line of `paragraph` ends when wrapped to `width`: after the last word that fits,
// or after the first word when even that one does not.
size_t WrapPoint(const Font::Impl& font, std::u16string_view paragraph, int32_t width) {
  if (font.Measure(paragraph) <= width) return paragraph.size();
  size_t fits = 0;
  for (size_t i = 1; i < paragraph.size(); ++i) {
    if (paragraph[i] != u' ' || paragraph[i - 1] == u' ') continue;
    if (font.Measure(paragraph.substr(0, i)) > width) return fits ? fits : i;
    fits = i;
  }
  return fits ? fits : paragraph.size();
}

// The lines `format` lays `text` out in: broken at line feeds unless single line, and wrapped at
// blanks to `width` with word breaking. A word wider than the line stays whole (and is clipped).
std::vector<std::u16string_view> LayOutLines(const Font::Impl& font, std::u16string_view text, int32_t width,
                                             uint32_t format) {
  std::vector<std::u16string_view> lines;
  if (text.empty()) return lines;
  std::vector<std::u16string_view> paragraphs;
  if (format & kTextSingleLine) {
    paragraphs.push_back(text);
  } else {
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == u'\n') {
        std::u16string_view p = text.substr(start, i - start);
        if (!p.empty() && p.back() == u'\r') p.remove_suffix(1);
        paragraphs.push_back(p);
        start = i + 1;
      }
    }
  }
  for (std::u16string_view p : paragraphs) {
    if (!(format & kTextWordBreak) || (format & kTextSingleLine)) {
      lines.push_back(p);
      continue;
    }
    if (p.empty()) lines.push_back(p);
    while (!p.empty()) {
      lines.push_back(p.substr(0, WrapPoint(font, p, width)));
      size_t next = lines.back().size();
      while (next < p.size() && p[next] == u' ') ++next;
      p = p.substr(next);
    }
  }
  return lines;
}

void BlendPixel(ui::Bitmap& target, int32_t x, int32_t y, ui::Color color, uint8_t coverage) {
  if (coverage == 0) return;
  if (target.IsMono()) {
    if (coverage >= 128) target.SetPixel(x, y, color);
    return;
  }
  const ui::Color under = target.GetPixel(x, y);
  const auto mix = [&](uint8_t from, uint8_t to) {
    return static_cast<uint8_t>((from * (255 - coverage) + to * coverage + 127) / 255);
  };
  target.SetPixel(
      x, y,
      ui::Rgb(mix(ui::RedOf(under), ui::RedOf(color)), mix(ui::GreenOf(under), ui::GreenOf(color)),
              mix(ui::BlueOf(under), ui::BlueOf(color))));
}

void DrawLine(ui::Bitmap& target, const Font::Impl& font, const posix::ShapedLine& line, int32_t x,
              int32_t top, const ui::Rect& clip, ui::Color color) {
  const int32_t baseline = top + font.ascent;
  for (const posix::PlacedGlyph& placed : line.glyphs) {
    const FT_Face face = font.faces->Face(placed.face);
    if (FT_Load_Glyph(face, placed.glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
    const FT_GlyphSlot glyph = face->glyph;
    const FT_Bitmap& bits = glyph->bitmap;
    for (unsigned row = 0; row < bits.rows; ++row) {
      for (unsigned col = 0; col < bits.width; ++col) {
        const int32_t px = x + placed.x + glyph->bitmap_left + static_cast<int32_t>(col);
        const int32_t py = baseline - placed.rise - glyph->bitmap_top + static_cast<int32_t>(row);
        if (!clip.Contains(ui::Point{px, py})) continue;
        BlendPixel(target, px, py, color, bits.buffer[row * bits.pitch + col]);
      }
    }
  }
  if (!font.underline) return;
  const int32_t uTop = baseline + font.underlineOffset - font.underlineThickness / 2;
  const ui::Rect bar = ui::Rect{x, uTop, x + line.width, uTop + font.underlineThickness}.Intersect(clip);
  for (int32_t y = bar.top; y < bar.bottom; ++y)
    for (int32_t px = bar.left; px < bar.right; ++px) target.SetPixel(px, y, color);
}

}  // namespace

ui::Rect MeasureText(const Font& font, std::u16string_view text, ui::Rect rect, uint32_t format) {
  const Font::Impl& impl = font.Get();
  if (!impl.faces) return ui::Rect{rect.left, rect.top, rect.left, rect.top};
  int32_t width = 0;
  const auto lines = LayOutLines(impl, text, rect.Width(), format);
  for (std::u16string_view line : lines) width = std::max(width, impl.Measure(line));
  return ui::Rect{rect.left, rect.top, rect.left + width,
                  rect.top + impl.cellHeight * static_cast<int32_t>(lines.size())};
}

void RenderText(ui::Bitmap& target, const Font& font, std::u16string_view text, ui::Rect rect,
                uint32_t format, ui::Color color) {
  const Font::Impl& impl = font.Get();
  const ui::Rect clip = rect.Intersect(target.Bounds());
  if (!impl.faces || clip.IsEmpty()) return;
  const auto lines = LayOutLines(impl, text, rect.Width(), format);
  int32_t top = rect.top;
  if ((format & kTextSingleLine) && (format & kTextVCenter)) top += (rect.Height() - impl.cellHeight) / 2;
  for (std::u16string_view text : lines) {
    const posix::ShapedLine line = impl.Shape(text, (format & kTextRtlReading) != 0);
    int32_t x = rect.left;
    if (format & kTextCenter)
      x += (rect.Width() - line.width) / 2;
    else if (format & kTextRight)
      x = rect.right - line.width;
    DrawLine(target, impl, line, x, top, clip, color);
    top += impl.cellHeight;
  }
}

}  // namespace platform
