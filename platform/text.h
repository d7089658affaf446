// The text seam: fonts chosen the way the platform's font mapper chooses them, and text measured
// and drawn into a ui::Bitmap with the few DrawText formats the installer's face uses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ui/bitmap.h"

namespace platform {

// A font request as the platform's font record holds it: face name; height in pixels (positive: the
// cell height, negative: the character height, 0: a default); average character width in pixels (0:
// the face's own proportion); weight (below 550 the regular face, from 550 the bold one, as the font
// mapper picks between the faces a family ships); underline; and the mapper's hints, which only the
// Windows build uses (character set, output and clip precision, quality, pitch and family).
struct FontRequest {
  std::u16string face;
  int32_t height = 0;
  int32_t width = 0;
  int32_t weight = 400;
  bool underline = false;
  uint8_t charSet = 0;
  uint8_t outPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0;
};

class Font {
 public:
  // The platform's default user-interface font.
  Font();
  // The requested font; a face that cannot be had gives the default user-interface font.
  explicit Font(const FontRequest& request);
  Font(Font&&) noexcept;
  Font& operator=(Font&&) noexcept;
  ~Font();

  // True when the request could not be met and the default user-interface font stands in.
  bool IsDefault() const;

  struct Impl;
  const Impl& Get() const { return *m_impl; }

 private:
  std::unique_ptr<Impl> m_impl;
};

// Text formats, with the values of the platform's DrawText flags. Left and top are 0.
enum TextFormat : uint32_t {
  kTextLeft = 0x0,
  kTextTop = 0x0,
  kTextCenter = 0x1,
  kTextRight = 0x2,
  kTextVCenter = 0x4,  // only together with kTextSingleLine; alone it changes nothing
  kTextWordBreak = 0x10,
  kTextSingleLine = 0x20,
  kTextRtlReading = 0x20000,  // right-to-left reading order: the text's start is at its right
};

// The measuring mode: `rect` keeps its left and top; its right and bottom become the extent of the
// text as `format` lays it out (wrapped at `rect`'s width with kTextWordBreak).
ui::Rect MeasureText(const Font& font, std::u16string_view text, ui::Rect rect, uint32_t format);

// Draws `text` in `color` on a transparent background, clipped to `rect` and to the bitmap.
void RenderText(ui::Bitmap& target, const Font& font, std::u16string_view text, ui::Rect rect,
                uint32_t format, ui::Color color);

}  // namespace platform
