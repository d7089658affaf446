// The painting of the installer window's face, composed off screen: the static face of the erase
// handler, the two dynamic areas of the paint handler (progress strip, status line) and the direct
// draw of a caption-button image. The window host presents each returned bitmap in one step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/bitmap.h"
#include "ui/face_palette.h"
#include "ui/skin.h"

namespace ui {

// The tile with which the next progress paint starts (0, 1 or 2); process-wide, 0 at start.
extern int32_t s_nBarPhase;

// What the dialog shows; the painting reads it and owns none of it.
// Everything in it is in device pixels at `scale`: the images and tiles already scaled (SkinAtScale,
// BarFramesAtScale) and the layout computed at that scale; the painting scales its own fonts, margins
// and fixed sizes.
struct FaceState {
  const SkinImages* skin = nullptr;
  const BarFrames* barFrames = nullptr;
  Layout layout;
  Size window;  // the window's width and height
  DisplayScale scale;
  std::u16string_view productName;
  std::u16string_view statusText;
  uint64_t shownBytes = 0;
  uint64_t totalBytes = 0;
  Palette palette;
  bool bandsMove = true;  // off: each progress paint starts with the same tile
};

// The erase handler's picture: background, title, heading, caption buttons in their normal look and
// the empty track; window-sized, to be presented at (0, 0).
Bitmap PaintStaticFace(const FaceState& state);

// The progress strip: the track with its fill, and the percentage or the check mark; presented at
// ProgressStripRect(layout).left, .top. Advances `barPhase` by one tile.
Bitmap PaintProgressStrip(const FaceState& state, int32_t& barPhase);
Rect ProgressStripRect(const Layout& layout, const DisplayScale& scale = {});
// The rectangle the install flow invalidates for a progress change.
Rect ProgressInvalidRect(const Layout& layout, const DisplayScale& scale = {});

// The status line, presented at layout.rcStatus's top-left corner.
Bitmap PaintStatusLine(const FaceState& state);

// The width `text` takes where the face paints it at `scale`: on the status line, and as the title
// and heading (the product name). A text wider than its rectangle in the layout is cut.
int32_t StatusTextWidth(std::u16string_view text, const DisplayScale& scale = {});
int32_t TitleTextWidth(std::u16string_view text, const DisplayScale& scale = {});

// What a caption button's rectangle shows when `image` is drawn into it: the image's top-left part
// of the rectangle's size; a missing image leaves `face`'s own pixels there (the window's face under
// the rectangle), so the button keeps its normal look.
Bitmap DrawSkinImage(const Rect& rect, const Bitmap& image, const Bitmap& face);

// A painted caption button in its normal or hot look, as DrawSkinImage draws its image; without
// the skin's images, its glyph on the face (hot: in the palette's hot colours).
enum class CaptionButton { Close, Minimize };
Bitmap PaintCaptionButton(const FaceState& state, CaptionButton button, bool hot, const Bitmap& face);

// Percentage and fill width of the bar for `shown` of `total` bytes. Equal counts are complete; a
// total of 0 with bytes received shows an empty bar and no percentage; more than the total is held
// at a full track.
struct BarFill {
  bool complete = false;
  bool showPercent = false;
  int64_t percent = 0;
  int32_t fillWidth = 0;
};
BarFill ComputeBarFill(uint64_t shown, uint64_t total, int32_t barWidth);
// A percentage as the face writes it: "47%".
std::u16string PercentText(int64_t percent);

}  // namespace ui
