// The system colours the image button draws its frame, face and disabled caption with. Where the
// platform has colours of its own the button takes them (and follows their changes); elsewhere it
// keeps these, those of a standard desktop theme.
#pragma once

#include "ui/geometry.h"

namespace ui {

struct SystemColors {
  Color btnFace = Rgb(240, 240, 240);
  Color btnText = Rgb(0, 0, 0);
  Color btnHighlight = Rgb(255, 255, 255);
  Color light3d = Rgb(227, 227, 227);
  Color btnShadow = Rgb(160, 160, 160);
  Color darkShadow3d = Rgb(105, 105, 105);
};

}  // namespace ui
