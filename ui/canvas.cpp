// Our 2-D layer's operations on a ui::Bitmap.
#include "ui/canvas.h"

#include <algorithm>
#include <vector>

namespace ui {
namespace {

// One source pixel as it lands on the target: the colour conversions of a transfer between a colour
// and a mono bitmap, in raw pixel form.
uint32_t Convert(uint32_t raw, const Bitmap& src, Color srcBk, const Bitmap& dst, Color dstBk,
                 Color dstText) {
  if (src.IsMono() == dst.IsMono()) return raw;
  if (dst.IsMono()) return Bitmap::FromRaw(raw) == srcBk ? Bitmap::ToRaw(kWhite) : Bitmap::ToRaw(kBlack);
  return raw != 0 ? Bitmap::ToRaw(dstBk) : Bitmap::ToRaw(dstText);
}

uint32_t Combine(uint32_t dst, uint32_t src, RasterOp op) {
  switch (op) {
    case RasterOp::SrcAnd:
      return dst & src;
    case RasterOp::SrcPaint:
      return dst | src;
    case RasterOp::SrcCopy:
      break;
  }
  return src;
}

uint8_t Lerp(uint8_t a, uint8_t b, int64_t num, int64_t den) {
  return static_cast<uint8_t>(a + (static_cast<int64_t>(b) - a) * num / den);
}

}  // namespace

void Canvas::FillSolidRect(const Rect& rect, Color c) {
  const Rect r = rect.Intersect(m_target.Bounds());
  const uint32_t raw = Bitmap::ToRaw(m_target.IsMono() ? (c == kWhite ? kWhite : kBlack) : c);
  for (int32_t y = r.top; y < r.bottom; ++y)
    std::fill(m_target.Row(y) + r.left, m_target.Row(y) + r.right, raw);
}

void Canvas::GradientFillH(const Rect& rect, Color left, Color right) {
  const Rect r = rect.Intersect(m_target.Bounds());
  const int64_t width = rect.Width();
  for (int32_t x = r.left; x < r.right; ++x) {
    const int64_t at = x - rect.left;
    const Color c =
        Rgb(Lerp(RedOf(left), RedOf(right), at, width), Lerp(GreenOf(left), GreenOf(right), at, width),
            Lerp(BlueOf(left), BlueOf(right), at, width));
    FillSolidRect(Rect{x, r.top, x + 1, r.bottom}, c);
  }
}

void Canvas::BitBlt(Point to, Size size, const Bitmap& src, Point from) {
  for (int32_t dy = 0; dy < size.cy; ++dy) {
    const int32_t ty = to.y + dy, sy = from.y + dy;
    if (ty < 0 || ty >= m_target.Height() || sy < 0 || sy >= src.Height()) continue;
    for (int32_t dx = 0; dx < size.cx; ++dx) {
      const int32_t tx = to.x + dx, sx = from.x + dx;
      if (tx < 0 || tx >= m_target.Width() || sx < 0 || sx >= src.Width()) continue;
      m_target.Row(ty)[tx] = Convert(src.Row(sy)[sx], src, kWhite, m_target, m_bkColor, m_textColor);
    }
  }
}

void Canvas::StretchBlt(const Rect& to, const Canvas& src, const Rect& from, RasterOp op) {
  if (to.IsEmpty() || from.IsEmpty()) return;
  const Bitmap& source = src.Target();
  const Rect clip = to.Intersect(m_target.Bounds());
  for (int32_t ty = clip.top; ty < clip.bottom; ++ty) {
    const int32_t sy = from.top + static_cast<int32_t>(int64_t{ty - to.top} * from.Height() / to.Height());
    if (sy < 0 || sy >= source.Height()) continue;
    for (int32_t tx = clip.left; tx < clip.right; ++tx) {
      const int32_t sx = from.left + static_cast<int32_t>(int64_t{tx - to.left} * from.Width() / to.Width());
      if (sx < 0 || sx >= source.Width()) continue;
      const uint32_t value =
          Convert(source.Row(sy)[sx], source, src.GetBkColor(), m_target, m_bkColor, m_textColor);
      m_target.Row(ty)[tx] = Combine(m_target.Row(ty)[tx], value, op);
    }
  }
}

void Canvas::Line(Point from, Point to, int32_t width, Color c) {
  const int32_t w = std::max(width, 1);
  if (from.y == to.y) {
    const int32_t x0 = from.x < to.x ? from.x : to.x + 1;
    const int32_t x1 = from.x < to.x ? to.x : from.x + 1;
    FillSolidRect(Rect{x0, from.y - w / 2, x1, from.y - w / 2 + w}, c);
  } else if (from.x == to.x) {
    const int32_t y0 = from.y < to.y ? from.y : to.y + 1;
    const int32_t y1 = from.y < to.y ? to.y : from.y + 1;
    FillSolidRect(Rect{from.x - w / 2, y0, from.x - w / 2 + w, y1}, c);
  }
}

void Canvas::DrawFocusRect(const Rect& rect) {
  if (rect.IsEmpty()) return;
  std::vector<Point> outline;
  for (int32_t x = rect.left; x < rect.right; ++x) {
    outline.push_back({x, rect.top});
    if (rect.Height() > 1) outline.push_back({x, rect.bottom - 1});
  }
  for (int32_t y = rect.top + 1; y < rect.bottom - 1; ++y) {
    outline.push_back({rect.left, y});
    if (rect.Width() > 1) outline.push_back({rect.right - 1, y});
  }
  for (const Point& p : outline) {
    if (((p.x + p.y) & 1) != 0 || !m_target.Bounds().Contains(p)) continue;
    m_target.Row(p.y)[p.x] ^= Bitmap::ToRaw(kWhite);
  }
}

void Canvas::Draw3dRect(const Rect& rect, Color topLeft, Color bottomRight) {
  const int32_t x = rect.left, y = rect.top, cx = rect.Width(), cy = rect.Height();
  FillSolidRect(Rect{x, y, x + cx - 1, y + 1}, topLeft);
  FillSolidRect(Rect{x, y, x + 1, y + cy - 1}, topLeft);
  FillSolidRect(Rect{x + cx - 1, y, x + cx, y + cy}, bottomRight);
  FillSolidRect(Rect{x, y + cy - 1, x + cx, y + cy}, bottomRight);
}

void Canvas::DrawDisabledImage(Point at, const Bitmap& image, Color highlight, Color shadow) {
  const auto paint = [&](Point offset, Color c) {
    for (int32_t y = 0; y < image.Height(); ++y) {
      for (int32_t x = 0; x < image.Width(); ++x) {
        if (image.GetPixel(x, y) != kWhite) m_target.SetPixel(at.x + x + offset.x, at.y + y + offset.y, c);
      }
    }
  };
  paint({1, 1}, highlight);
  paint({0, 0}, shadow);
}

void Canvas::RenderText(const platform::Font& font, std::u16string_view text, const Rect& rect,
                        uint32_t format) {
  platform::RenderText(m_target, font, text, rect, format, m_textColor);
}

}  // namespace ui
