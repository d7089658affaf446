// Drawing the focus cue.
#include "ui/focus_cue.h"

#include "ui/canvas.h"

namespace ui {
namespace {

void Ring(Canvas& canvas, Rect area, int32_t width, Color color) {
  for (int32_t i = 0; i < width; ++i) {
    canvas.Draw3dRect(area, color, color);
    area.Deflate(1);
  }
}

}  // namespace

void DrawFocusCue(Bitmap& target, const Rect& area, const Palette& palette, const DisplayScale& scale) {
  Canvas canvas(target);
  const int32_t width = scale.Px(1);
  Rect inner = area;
  inner.Deflate(width);
  Ring(canvas, area, width, palette.focusOuter);
  Ring(canvas, inner, width, palette.focusInner);
}

}  // namespace ui
