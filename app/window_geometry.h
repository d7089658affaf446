// Rectangles and points between the drawing layer and the window seam (the same conventions).
#pragma once

#include "platform/window.h"
#include "ui/bitmap.h"
#include "ui/geometry.h"

inline platform::Rect ToWindowRect(const ui::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline ui::Rect ToUiRect(const platform::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline ui::Point ToUiPoint(platform::Point p) { return {p.x, p.y}; }

// A bitmap's pixels as the window seam presents them.
inline platform::PixelView PixelsOf(const ui::Bitmap& bitmap) {
  return {bitmap.Data(), bitmap.Width(), bitmap.Height(), bitmap.Width()};
}
