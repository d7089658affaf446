// Colours, points, sizes and rectangles of our 2-D layer, with the platform's conventions: colours
// are 0x00BBGGRR values, a rectangle holds its left and top edges and excludes its right and bottom.
#pragma once

#include <algorithm>
#include <cstdint>

namespace ui {

using Color = uint32_t;

constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<Color>(r) | static_cast<Color>(g) << 8 | static_cast<Color>(b) << 16;
}
constexpr uint8_t RedOf(Color c) { return static_cast<uint8_t>(c); }
constexpr uint8_t GreenOf(Color c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t BlueOf(Color c) { return static_cast<uint8_t>(c >> 16); }

constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  constexpr int32_t Width() const { return right - left; }
  constexpr int32_t Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  constexpr void Offset(int32_t dx, int32_t dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  constexpr void Deflate(int32_t d) {
    left += d;
    top += d;
    right -= d;
    bottom -= d;
  }
  constexpr Rect Intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
           std::min(bottom, o.bottom)};
    return r.IsEmpty() ? Rect{} : r;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

constexpr Rect RectOf(Point origin, Size size) {
  return Rect{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
}

}  // namespace ui
