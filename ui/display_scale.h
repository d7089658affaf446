// The display scale: how many device pixels one pixel of the skin's design takes (the monitor's
// DPI / 96). Every size and position of the face is designed at 96 DPI and scaled through this.
#pragma once

#include <cmath>
#include <cstdint>

#include "ui/geometry.h"

namespace ui {

struct DisplayScale {
  static constexpr int32_t kDesignDpi = 96;
  // From this scale on, a skin image's "@2x" copy is the sharper source.
  static constexpr double kDoubleImagesFrom = 1.5;

  double factor = 1.0;

  // A DPI the system cannot report (0 or less) counts as the design's.
  static DisplayScale FromDpi(int32_t dpi) {
    return DisplayScale{dpi > 0 ? static_cast<double>(dpi) / kDesignDpi : 1.0};
  }

  // A design length in device pixels, rounded half away from zero.
  int32_t Px(int32_t design) const { return static_cast<int32_t>(std::lround(design * factor)); }
  Size Of(Size design) const { return Size{Px(design.cx), Px(design.cy)}; }
  // Origin and size are scaled separately, so that equal sizes stay equal wherever they lie.
  Rect Of(const Rect& design) const {
    return RectOf(Point{Px(design.left), Px(design.top)}, Of(Size{design.Width(), design.Height()}));
  }
  // A device length back in design pixels (for sizes the system already scaled).
  int32_t Design(int32_t device) const { return static_cast<int32_t>(std::lround(device / factor)); }

  bool WantsDoubleImages() const { return factor >= kDoubleImagesFrom; }
  bool IsDesign() const { return factor == 1.0; }
};

}  // namespace ui
