// Rectangles and points between the drawing layer and the window seam (the same conventions).
#pragma once

#include <algorithm>

#include "platform/window.h"
#include "ui/bitmap.h"
#include "ui/display_scale.h"
#include "ui/geometry.h"

inline platform::Rect ToWindowRect(const ui::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline ui::Rect ToUiRect(const platform::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline ui::Point ToUiPoint(platform::Point p) { return {p.x, p.y}; }
inline ui::Size ToUiSize(platform::Size s) { return {s.width, s.height}; }

// A size the system made at `scale`, in design pixels.
inline platform::Size ToDesignSize(platform::Size device, const ui::DisplayScale& scale) {
  return {scale.Design(device.width), scale.Design(device.height)};
}

// A window of `size` centred on `area`; one larger than the area keeps its top-left corner inside it.
inline platform::Rect CentredIn(platform::Size size, const platform::Rect& area) {
  const int32_t left = area.left + std::max(0, (area.Width() - size.width) / 2);
  const int32_t top = area.top + std::max(0, (area.Height() - size.height) / 2);
  return {left, top, left + size.width, top + size.height};
}

// A bitmap's pixels as the window seam presents them.
inline platform::PixelView PixelsOf(const ui::Bitmap& bitmap) {
  return {bitmap.Data(), bitmap.Width(), bitmap.Height(), bitmap.Width()};
}
