// The installer window's face, composed off screen in bitmaps.
#include "ui/window_painting.h"

#include <algorithm>
#include <string>

#include "platform/text.h"
#include "ui/canvas.h"

namespace ui {

int32_t s_nBarPhase = 0;

namespace {

// Design sizes, scaled at each paint.
constexpr Size kCaptionButtonSize{23, 23};
constexpr int32_t kCheckWidth = 45;
constexpr int32_t kTrackMargin = 1;  // around the fill, and the track's bottom line
constexpr int32_t kInvalidMargin = 2;
constexpr int32_t kPercentBoxFromRight = 50;
constexpr int32_t kPercentBoxRightGap = 5;
constexpr int32_t kCheckInset = 4;

platform::Font FaceFont(const DisplayScale& s, int32_t height, int32_t width, int32_t weight) {
  return platform::Font({u"Arial", s.Px(height), s.Px(width), weight, false});
}
platform::Font TitleFont(const DisplayScale& s) { return FaceFont(s, kTitleFontHeight, 7, 10); }
platform::Font PercentFont(const DisplayScale& s) { return FaceFont(s, 16, 8, 7); }
platform::Font StatusFont(const DisplayScale& s) { return FaceFont(s, 16, 6, 10); }

// The reading order of the face's texts.
uint32_t Reading(const Layout& layout) {
  return layout.rightToLeft ? uint32_t{platform::kTextRtlReading} : 0u;
}
// Texts that start at their rectangle's left edge in a left-to-right face start at its right edge
// in a mirrored one, and the other way round.
uint32_t Start(const Layout& layout) {
  return layout.rightToLeft ? platform::kTextRight : platform::kTextLeft;
}
uint32_t End(const Layout& layout) { return layout.rightToLeft ? platform::kTextLeft : platform::kTextRight; }

void MirrorHorizontally(Bitmap& bitmap) {
  for (int32_t y = 0; y < bitmap.Height(); ++y) std::reverse(bitmap.Row(y), bitmap.Row(y) + bitmap.Width());
}

// Copies `image` to `at`, `size` of it from its top-left corner; a missing image copies nothing.
void PutImage(Canvas& canvas, const Bitmap& image, Point at, Size size) {
  if (!image.Empty()) canvas.BitBlt(at, size, image);
}

// Where a missing image leaves the face plain, and the background of a face without images.
Color GroundUnder(const Bitmap& image, const Palette& palette) {
  return image.Empty() || !palette.skinImages ? palette.plainFace : palette.surface;
}

// A skin image, or nothing where the palette paints without images.
const Bitmap kNoImage;
const Bitmap& SkinImage(const Bitmap& image, const Palette& palette) {
  return palette.skinImages ? image : kNoImage;
}

// The empty track: barW + 2m by barH + m pixels for a margin m (1 at the design scale), its bottom m
// rows the bottom line (a pen of 2m centred on the row below the track). The track is a gradient
// whose two ends have the same colour, so a skin variant may shade it. Without images the track is
// the face's own colour, so its outline shows where the bar runs.
Bitmap EmptyTrack(int32_t barW, int32_t barH, int32_t m, const Palette& palette) {
  Bitmap track(barW + 2 * m, barH + m);
  Canvas canvas(track);
  canvas.GradientFillH(track.Bounds(), palette.track, palette.track);
  canvas.Line(Point{0, barH + m}, Point{barW + 2 * m, barH + m}, 2 * m, palette.trackLine);
  if (!palette.skinImages) canvas.Draw3dRect(track.Bounds(), palette.trackLine, palette.trackLine);
  return track;
}

// The bar's fill: the tiles from `barPhase` on, which moves one tile per paint while the bands move;
// without images a solid fill.
Bitmap PaintBarFill(const FaceState& state, int32_t fillW, int32_t barH, int32_t& barPhase) {
  Bitmap bar(fillW, barH);
  Canvas barCanvas(bar);
  if (!state.palette.skinImages) {
    barCanvas.FillSolidRect(bar.Bounds(), state.palette.barFill);
    return bar;
  }
  barCanvas.FillSolidRect(bar.Bounds(), kSurfaceBkColor);
  const BarFrames& frames = *state.barFrames;
  const Size tile = frames[0].Empty() ? state.scale.Of(kFallbackTileSize) : frames[0].Extent();
  int32_t k = (barPhase % 3 + 3) % 3;  // a phase from outside 0 to 2 still names a tile
  if (state.bandsMove) barPhase = k + 1;
  for (int32_t x = 0; x < fillW; x += tile.cx) {
    barCanvas.BitBlt(Point{x, 0}, tile, frames[static_cast<size_t>(k)]);
    k = k == 2 ? 0 : k + 1;
  }
  if (barPhase == 3) barPhase = 0;
  return bar;
}

// floor(shown * 100 / total) for shown < total, without overflowing 64 bits.
int64_t PercentBelowTotal(uint64_t shown, uint64_t total) {
  int64_t percent = 0;
  uint64_t remainder = 0;  // (shown * step) mod total, always below total
  for (int step = 0; step < 100; ++step) {
    if (remainder >= total - shown) {
      remainder -= total - shown;
      ++percent;
    } else {
      remainder += shown;
    }
  }
  return percent;
}

}  // namespace

BarFill ComputeBarFill(uint64_t shown, uint64_t total, int32_t barWidth) {
  BarFill fill;
  if (shown == total) {
    fill.complete = true;
    fill.fillWidth = barWidth;
    return fill;
  }
  if (total == 0) return fill;
  fill.showPercent = true;
  fill.percent = shown > total ? 100 : PercentBelowTotal(shown, total);
  fill.fillWidth = static_cast<int32_t>(int64_t{barWidth} * fill.percent / 100);
  return fill;
}

std::u16string PercentText(int64_t percent) {
  const std::string digits = std::to_string(percent) + "%";
  return std::u16string(digits.begin(), digits.end());
}

// From the bar's outer edge, with a margin, to the percentage box's outer edge.
Rect ProgressStripRect(const Layout& layout, const DisplayScale& scale) {
  const int32_t m = scale.Px(kTrackMargin);
  if (layout.rightToLeft)
    return Rect{layout.rcPercent.left, layout.rcBar.top, layout.rcBar.right + m, layout.rcBar.bottom + m};
  return Rect{layout.rcBar.left - m, layout.rcBar.top, layout.rcPercent.right, layout.rcBar.bottom + m};
}

Rect ProgressInvalidRect(const Layout& layout, const DisplayScale& scale) {
  const int32_t m = scale.Px(kInvalidMargin);
  if (layout.rightToLeft)
    return Rect{layout.rcPercent.left, layout.rcBar.top - m, layout.rcBar.right + m, layout.rcBar.bottom + m};
  return Rect{layout.rcBar.left - m, layout.rcBar.top - m, layout.rcPercent.right, layout.rcBar.bottom + m};
}

Bitmap PaintStaticFace(const FaceState& state) {
  const SkinImages& skin = *state.skin;
  const Layout& layout = state.layout;
  const DisplayScale& s = state.scale;
  const Palette& palette = state.palette;
  Bitmap face(state.window.cx, state.window.cy);
  Canvas canvas(face);
  canvas.FillSolidRect(face.Bounds(), GroundUnder(skin.background, palette));
  PutImage(canvas, SkinImage(skin.background, palette), Point{}, face.Extent());

  canvas.SetTextColor(palette.text);
  const uint32_t format = Start(layout) | platform::kTextSingleLine | Reading(layout);
  canvas.RenderText(TitleFont(s), state.productName, layout.rcTitle, format);
  canvas.RenderText(TitleFont(s), state.productName, layout.rcHeading, format);

  const Size captionButton = s.Of(kCaptionButtonSize);
  if (palette.skinImages) {
    PutImage(canvas, skin.closeNormal, Point{layout.rcClose.left, layout.rcClose.top}, captionButton);
    PutImage(canvas, skin.minimizeNormal, Point{layout.rcMinimize.left, layout.rcMinimize.top}, captionButton);
  } else {
    DrawCloseGlyph(face, layout.rcClose, palette.text, s);
    DrawMinimizeGlyph(face, layout.rcMinimize, palette.text, s);
  }

  const int32_t m = s.Px(kTrackMargin);
  const Bitmap track = EmptyTrack(layout.rcBar.Width(), layout.rcBar.Height(), m, palette);
  canvas.BitBlt(Point{layout.rcBar.left - m, layout.rcBar.top}, track.Extent(), track);
  if (palette.windowFrame) canvas.Draw3dRect(face.Bounds(), palette.text, palette.text);
  return face;
}

Bitmap PaintProgressStrip(const FaceState& state, int32_t& barPhase) {
  const Layout& layout = state.layout;
  const DisplayScale& s = state.scale;
  const int32_t barW = layout.rcBar.Width(), barH = layout.rcBar.Height();
  const int32_t m = s.Px(kTrackMargin);
  const Rect strip = ProgressStripRect(layout, s);
  const BarFill fill = ComputeBarFill(state.shownBytes, state.totalBytes, barW);
  // Held inside the track even if a caller's figures say more than a full bar.
  const int32_t fillW = std::clamp(fill.fillWidth, 0, barW);

  const Palette& palette = state.palette;
  Bitmap picture(strip.Width(), strip.Height());
  Canvas canvas(picture);
  canvas.FillSolidRect(picture.Bounds(), palette.percentBox);
  const Bitmap track = EmptyTrack(barW, barH, m, palette);
  canvas.BitBlt(Point{}, track.Extent(), track);
  const Bitmap bar = PaintBarFill(state, fillW, barH, barPhase);
  canvas.BitBlt(Point{m, 0}, bar.Extent(), bar);
  // Mirrored, the bar fills from the right; the percentage and the check mark are not mirrored.
  if (layout.rightToLeft) MirrorHorizontally(picture);

  Rect box{picture.Width() - s.Px(kPercentBoxFromRight), 0, picture.Width() - s.Px(kPercentBoxRightGap),
           picture.Height()};
  Rect check = RectOf(Point{box.left + s.Px(kCheckInset), 0}, Size{s.Px(kCheckWidth), barH});
  if (layout.rightToLeft) {
    box = MirroredRect(box, picture.Width());
    check = MirroredRect(check, picture.Width());
  }
  if (fill.complete && palette.skinImages) {
    PutImage(canvas, state.skin->check, Point{check.left, check.top}, Size{check.Width(), check.Height()});
  } else if (fill.complete) {
    DrawCheckGlyph(picture, check, palette.text, s);
  } else if (fill.showPercent) {
    canvas.SetTextColor(palette.text);
    canvas.RenderText(PercentFont(s), PercentText(fill.percent), box,
                      platform::kTextCenter | platform::kTextTop | Reading(layout));
  }
  return picture;
}

Bitmap PaintStatusLine(const FaceState& state) {
  const Bitmap& back = SkinImage(state.skin->statusBack, state.palette);
  Bitmap line(state.layout.rcStatus.Width(), state.layout.rcStatus.Height());
  Canvas canvas(line);
  canvas.FillSolidRect(line.Bounds(), GroundUnder(back, state.palette));
  PutImage(canvas, back, Point{}, back.Extent());
  canvas.SetTextColor(state.palette.text);
  // Aligned at the bar's end (the right one, or the left one when mirrored), with vertical centring
  // but no single line: the centring has no effect.
  canvas.RenderText(StatusFont(state.scale), state.statusText, line.Bounds(),
                    End(state.layout) | platform::kTextVCenter | Reading(state.layout));
  return line;
}

int32_t StatusTextWidth(std::u16string_view text, const DisplayScale& scale) {
  return platform::MeasureText(StatusFont(scale), text, Rect{}, platform::kTextVCenter).Width();
}

int32_t TitleTextWidth(std::u16string_view text, const DisplayScale& scale) {
  return platform::MeasureText(TitleFont(scale), text, Rect{}, platform::kTextSingleLine).Width();
}

Bitmap DrawSkinImage(const Rect& rect, const Bitmap& image, const Bitmap& face) {
  Bitmap picture(rect.Width(), rect.Height());
  Canvas canvas(picture);
  canvas.BitBlt(Point{}, picture.Extent(), face, Point{rect.left, rect.top});
  PutImage(canvas, image, Point{}, picture.Extent());
  return picture;
}

Bitmap PaintCaptionButton(const FaceState& state, CaptionButton button, bool hot, const Bitmap& face) {
  const bool close = button == CaptionButton::Close;
  const Rect& rect = close ? state.layout.rcClose : state.layout.rcMinimize;
  const Palette& palette = state.palette;
  if (palette.skinImages) {
    const SkinImages& skin = *state.skin;
    const Bitmap& image = close ? (hot ? skin.closeHot : skin.closeNormal) : (hot ? skin.minimizeHot : skin.minimizeNormal);
    return DrawSkinImage(rect, image, face);
  }
  Bitmap picture(rect.Width(), rect.Height());
  Canvas canvas(picture);
  canvas.BitBlt(Point{}, picture.Extent(), face, Point{rect.left, rect.top});
  if (hot) canvas.FillSolidRect(picture.Bounds(), palette.hotBack);
  const Color glyph = hot ? palette.hotText : palette.text;
  if (close)
    DrawCloseGlyph(picture, picture.Bounds(), glyph, state.scale);
  else
    DrawMinimizeGlyph(picture, picture.Bounds(), glyph, state.scale);
  return picture;
}

}  // namespace ui
