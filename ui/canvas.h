// Our 2-D layer: the drawing operations the installer's face is made of, on a ui::Bitmap, with the
// meaning the platform's GDI gives them (colour conversions by background and text colour, lines
// without their end point, the dotted focus rectangle, the embossed disabled look).
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "platform/text.h"
#include "ui/bitmap.h"

namespace ui {

// How a copied pixel combines with the one it lands on.
enum class RasterOp { SrcCopy, SrcAnd, SrcPaint };

class Canvas {
 public:
  explicit Canvas(Bitmap& target) : m_target(target) {}

  Bitmap& Target() { return m_target; }
  const Bitmap& Target() const { return m_target; }

  // A surface starts with a white background and black text, as a new device context does.
  Color GetBkColor() const { return m_bkColor; }
  Color SetBkColor(Color c) { return std::exchange(m_bkColor, c); }
  Color GetTextColor() const { return m_textColor; }
  Color SetTextColor(Color c) { return std::exchange(m_textColor, c); }

  void FillSolidRect(const Rect& rect, Color c);
  // Horizontal gradient from `left` at the left edge to `right` at the right edge.
  void GradientFillH(const Rect& rect, Color left, Color right);

  // Copies `size` pixels from `src` at `from` to `to`; only what lies inside both bitmaps moves.
  // Into a mono bitmap white pixels become 1 (the source's background counts as white).
  void BitBlt(Point to, Size size, const Bitmap& src, Point from = {});
  // Stretches `from` of the source surface onto `to` (nearest pixel). Between colour and mono: a
  // colour pixel equal to the source's background colour becomes 1, any other 0; a mono 1 becomes
  // this surface's background colour and 0 its text colour.
  void StretchBlt(const Rect& to, const Canvas& src, const Rect& from, RasterOp op = RasterOp::SrcCopy);

  Color GetPixel(Point p) const { return m_target.GetPixel(p.x, p.y); }
  void SetPixel(Point p, Color c) { m_target.SetPixel(p.x, p.y, c); }

  // A solid pen line of `width` pixels, end point left out; the pen is centred on the line, so a
  // 2-pixel horizontal line at y covers rows y - 1 and y. Our drawing uses axis-parallel lines only;
  // a slanted one draws nothing.
  void Line(Point from, Point to, int32_t width, Color c);

  // The dotted focus rectangle: every other pixel of the outline inverted.
  void DrawFocusRect(const Rect& rect);
  // A 1-pixel frame: top and left edges in `topLeft`, bottom and right edges in `bottomRight`.
  void Draw3dRect(const Rect& rect, Color topLeft, Color bottomRight);
  // The embossed disabled look of an image: its non-white pixels in `highlight` moved by (1, 1),
  // then in `shadow` at their place; white pixels leave the surface as it is.
  void DrawDisabledImage(Point at, const Bitmap& image, Color highlight, Color shadow);

  // Text in this surface's text colour, transparent background, clipped to `rect`.
  void RenderText(const platform::Font& font, std::u16string_view text, const Rect& rect, uint32_t format);

 private:
  Bitmap& m_target;
  Color m_bkColor = kWhite;
  Color m_textColor = kBlack;
};

}  // namespace ui
