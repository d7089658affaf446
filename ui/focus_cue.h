// The keyboard focus cue of the window's buttons. The skin's buttons never show a frame, so the cue
// is a ring of two colours, one of which stands out on any skin.
#pragma once

#include "ui/bitmap.h"
#include "ui/display_scale.h"
#include "ui/face_palette.h"

namespace ui {

// An outer ring along `area`'s edge in the palette's outer focus colour and an inner one just inside
// it in the inner focus colour, each one design pixel wide.
void DrawFocusCue(Bitmap& target, const Rect& area, const Palette& palette, const DisplayScale& scale);

}  // namespace ui
