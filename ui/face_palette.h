// The colours the window's face is painted with. The skin's palette draws the images and the
// banded tiles with the skin's own greys and white text; the high-contrast palette draws the same
// layout in the system's colours, without images or bands, with plain glyphs where images were
// and a one-pixel frame round the borderless window.
#pragma once

#include "ui/bitmap.h"
#include "ui/display_scale.h"

namespace ui {

constexpr Color kTrackColor = Rgb(29, 29, 29);
constexpr Color kTrackLineColor = Rgb(50, 50, 50);
constexpr Color kPercentBoxColor = Rgb(40, 40, 40);
constexpr Color kFaceTextColor = Rgb(255, 255, 255);
// The background colour of a new window surface: what shows where an image is missing.
constexpr Color kSurfaceBkColor = kWhite;

struct Palette {
  bool skinImages = true;    // off: plain colours, drawn glyphs and a solid bar
  bool windowFrame = false;  // a one-pixel frame in `text` round the window
  Color surface = kSurfaceBkColor;
  Color plainFace = kPercentBoxColor;  // where an image is missing, or when there are none
  Color text = kFaceTextColor;
  Color track = kTrackColor;
  Color trackLine = kTrackLineColor;
  Color percentBox = kPercentBoxColor;
  Color barFill = kWhite;      // the bar's fill without the tiles
  Color hotBack = kWhite;      // a caption glyph under the pointer
  Color hotText = kBlack;
  Color buttonFace = kWhite;   // the buttons without images
  Color buttonText = kBlack;
  Color disabledText = kBlack;
  // The focus cue: an outer and an inner ring, so that one of them stands out on any ground.
  Color focusOuter = kWhite;
  Color focusInner = kBlack;
  friend bool operator==(const Palette&, const Palette&) = default;
};

// The system's colours that a high-contrast theme sets.
struct ContrastColors {
  Color window = kBlack;
  Color windowText = kWhite;
  Color highlight = Rgb(26, 235, 255);
  Color highlightText = kBlack;
  Color buttonFace = kBlack;
  Color buttonText = kWhite;
  Color grayText = Rgb(63, 242, 63);
};

// The dark high-contrast theme's colours, for pictures made where there is no such system setting.
inline constexpr ContrastColors kDarkContrastColors{};

Palette HighContrastPalette(const ContrastColors& colors);

// Glyphs in place of the skin's images, drawn in `color` inside `area`.
void DrawCloseGlyph(Bitmap& target, const Rect& area, Color color, const DisplayScale& scale);
void DrawMinimizeGlyph(Bitmap& target, const Rect& area, Color color, const DisplayScale& scale);
void DrawCheckGlyph(Bitmap& target, const Rect& area, Color color, const DisplayScale& scale);

}  // namespace ui
