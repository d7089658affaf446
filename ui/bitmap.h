// A bitmap of our 2-D layer: 32-bit pixels, top row first, each held as 0x00RRGGBB (the byte order
// of a 32-bit device-independent bitmap), or a one-bit bitmap whose pixels are 0 (black) or 1 (white).
// Header-only, so the platform seams can fill one without linking the drawing library.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/geometry.h"

namespace ui {

enum class BitmapKind { Color, Mono };

class Bitmap {
 public:
  Bitmap() = default;
  // A negative size counts as 0: a bitmap is never given a negative extent.
  Bitmap(int32_t width, int32_t height, BitmapKind kind = BitmapKind::Color)
      : m_width(std::max(width, 0)),
        m_height(std::max(height, 0)),
        m_kind(kind),
        m_pixels(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), 0) {}

  bool Empty() const { return m_width == 0 || m_height == 0; }
  int32_t Width() const { return m_width; }
  int32_t Height() const { return m_height; }
  Size Extent() const { return Size{m_width, m_height}; }
  Rect Bounds() const { return Rect{0, 0, m_width, m_height}; }
  bool IsMono() const { return m_kind == BitmapKind::Mono; }

  // Raw rows in device-independent layout: 0x00RRGGBB per pixel; a mono pixel is 0 or 0x00FFFFFF.
  uint32_t* Row(int32_t y) { return m_pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(m_width); }
  const uint32_t* Row(int32_t y) const {
    return m_pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(m_width);
  }
  uint32_t* Data() { return m_pixels.data(); }
  const uint32_t* Data() const { return m_pixels.data(); }

  // A pixel as a colour; a mono pixel reads as black or white. Outside the bitmap: black.
  Color GetPixel(int32_t x, int32_t y) const {
    if (!Bounds().Contains(Point{x, y})) return kBlack;
    return FromRaw(Row(y)[x]);
  }
  // Writes inside the bitmap only; a mono bitmap takes white for white and black for every other colour.
  void SetPixel(int32_t x, int32_t y, Color c) {
    if (!Bounds().Contains(Point{x, y})) return;
    if (IsMono()) c = c == kWhite ? kWhite : kBlack;
    Row(y)[x] = ToRaw(c);
  }

  // Clears the fourth byte of every pixel, which decoders and GDI fill with alpha or filler.
  void ClearFillerBytes() {
    for (uint32_t& raw : m_pixels) raw &= 0x00FFFFFFu;
  }

  static constexpr uint32_t ToRaw(Color c) {
    return static_cast<uint32_t>(RedOf(c)) << 16 | static_cast<uint32_t>(GreenOf(c)) << 8 | BlueOf(c);
  }
  static constexpr Color FromRaw(uint32_t raw) {
    return Rgb(static_cast<uint8_t>(raw >> 16), static_cast<uint8_t>(raw >> 8), static_cast<uint8_t>(raw));
  }

 private:
  int32_t m_width = 0;
  int32_t m_height = 0;
  BitmapKind m_kind = BitmapKind::Color;
  std::vector<uint32_t> m_pixels;
};

}  // namespace ui
