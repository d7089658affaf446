// The high-contrast palette and the glyphs drawn in place of images.
#include "ui/face_palette.h"

#include "ui/canvas.h"

namespace ui {
namespace {

// A stroke of `steps` squares of `thick` pixels, each moved by (dx, dy) from the one before.
void Stroke(Canvas& canvas, Point from, int32_t steps, int32_t dx, int32_t dy, int32_t thick, Color color) {
  for (int32_t i = 0; i < steps; ++i)
    canvas.FillSolidRect(RectOf(Point{from.x + i * dx, from.y + i * dy}, Size{thick, thick}), color);
}

}  // namespace

Palette HighContrastPalette(const ContrastColors& c) {
  Palette p;
  p.skinImages = false;
  p.windowFrame = true;
  p.surface = c.window;
  p.plainFace = c.window;
  p.text = c.windowText;
  p.track = c.window;
  p.trackLine = c.windowText;
  p.percentBox = c.window;
  p.barFill = c.highlight;
  p.hotBack = c.highlight;
  p.hotText = c.highlightText;
  p.buttonFace = c.buttonFace;
  p.buttonText = c.buttonText;
  p.disabledText = c.grayText;
  p.focusOuter = c.window;
  p.focusInner = c.windowText;
  return p;
}

// An X in the middle of the area, its arms a third of the area's height from each corner.
void DrawCloseGlyph(Bitmap& target, const Rect& area, Color color, const DisplayScale& scale) {
  Canvas canvas(target);
  const int32_t thick = scale.Px(2);
  const int32_t span = area.Height() / 3;
  const Point topLeft{area.left + (area.Width() - span - thick) / 2, area.top + (area.Height() - span - thick) / 2};
  Stroke(canvas, topLeft, span + 1, 1, 1, thick, color);
  Stroke(canvas, Point{topLeft.x, topLeft.y + span}, span + 1, 1, -1, thick, color);
}

// A bar across the lower middle of the area.
void DrawMinimizeGlyph(Bitmap& target, const Rect& area, Color color, const DisplayScale& scale) {
  const int32_t thick = scale.Px(2);
  const int32_t span = area.Height() / 3;
  const int32_t left = area.left + (area.Width() - span) / 2;
  const int32_t top = area.top + (area.Height() + span) / 2 - thick;
  Canvas(target).FillSolidRect(Rect{left, top, left + span + thick, top + thick}, color);
}

// A tick as high as the area, a short stroke down, then a long one up.
void DrawCheckGlyph(Bitmap& target, const Rect& area, Color color, const DisplayScale& scale) {
  Canvas canvas(target);
  const int32_t thick = scale.Px(2);
  const int32_t rise = area.Height() - thick;
  const int32_t fall = rise / 2;
  const Point start{area.left + (area.Width() - fall - rise) / 2, area.top + rise - fall};
  Stroke(canvas, start, fall + 1, 1, 1, thick, color);
  Stroke(canvas, Point{start.x + fall, start.y + fall}, rise + 1, 1, -1, thick, color);
}

}  // namespace ui
