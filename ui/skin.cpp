// Loading the skin and computing the window layout from the sizes of its images.
#include "ui/skin.h"

#include "platform/image.h"
#include "ui/canvas.h"
#include "ui/image_scaling.h"

namespace ui {
namespace {

constexpr int32_t kDragBandHeight = 32;
constexpr int32_t kDragBandEndMargin = 50;

Size SizeOr(const Bitmap& image, Size fallback) { return image.Empty() ? fallback : image.Extent(); }

// Pointers to the ten images in loading order (const for a const set), for walking sets side by side.
template <typename Images>
auto Members(Images& s) {
  return std::array{&s.background,  &s.statusBack,   &s.closeNormal, &s.closeHot,       &s.minimizeNormal,
                    &s.minimizeHot, &s.cancelNormal, &s.cancelHot,   &s.cancelDisabled, &s.check};
}

Bitmap ImageAtScale(const Bitmap& image, const Bitmap& doubled, const DisplayScale& scale) {
  if (image.Empty()) return Bitmap();
  const Bitmap& source = scale.WantsDoubleImages() && !doubled.Empty() ? doubled : image;
  return ScaleImage(source, scale.Of(image.Extent()));
}

Layout DesignLayout(Size window, const Bitmap& tile, const Bitmap& statusBack) {
  const int32_t W = window.cx, H = window.cy;
  const int32_t barH = SizeOr(tile, kFallbackTileSize).cy;
  const Size status = SizeOr(statusBack, kFallbackStatusSize);
  Layout l;
  l.rcBar.right = W - 60;
  l.rcBar.left = l.rcBar.right - 445;
  l.rcBar.top = H / 2 - 30;
  l.rcBar.bottom = l.rcBar.top + barH;
  l.rcPercent = Rect{W - 54, l.rcBar.top, W - 54 + 45, l.rcBar.bottom};
  l.rcStatus.right = l.rcBar.right;
  l.rcStatus.left = l.rcStatus.right - status.cx;
  l.rcStatus.top = l.rcBar.bottom + 10;
  l.rcStatus.bottom = l.rcStatus.top + status.cy;
  l.rcHeading.left = l.rcBar.left;
  l.rcHeading.right = l.rcHeading.left + 300;
  l.rcHeading.top = l.rcBar.top - 3 * l.rcBar.Height();
  l.rcHeading.bottom = l.rcHeading.top + kTitleFontHeight;
  l.rcTitle = Rect{48, 9, 348, 32};
  l.rcClose = Rect{W - 6 - 23, 7, W - 6, 30};
  l.rcMinimize = Rect{l.rcClose.left - 6 - 23, 7, l.rcClose.left - 6, 30};
  return l;
}

}  // namespace

std::u16string DoubleSizeName(std::u16string_view name) {
  const size_t dot = name.rfind(u'.');
  const std::u16string_view stem = name.substr(0, dot);
  const std::u16string_view extension = dot == std::u16string_view::npos ? u"" : name.substr(dot);
  return std::u16string(stem) + u"@2x" + std::u16string(extension);
}

const std::array<const char16_t*, 10> kSkinFileNames = {
    u"MainWndBkg.jpg", u"StatusBkg.jpg", u"Close_N.jpg",  u"Close_H.jpg",  u"Min_N.jpg",
    u"Min_H.jpg",      u"Cancel_N.jpg",  u"Cancel_H.jpg", u"Cancel_D.jpg", u"CheckD.jpg"};

SkinImages LoadSkinImages(const platform::IFileSet& files) {
  SkinImages skin;
  const auto members = Members(skin);
  for (size_t i = 0; i < kSkinFileNames.size(); ++i) *members[i] = platform::LoadImage(files.File(kSkinFileNames[i]));
  return skin;
}

SkinImages LoadSkinImages(const std::u16string& moduleDir) { return LoadSkinImages(platform::FolderFiles(moduleDir)); }

SkinSource LoadSkinSource(const platform::IFileSet& files) {
  SkinSource source{LoadSkinImages(files), {}};
  const auto images = Members(source.images);
  const auto doubled = Members(source.doubled);
  for (size_t i = 0; i < kSkinFileNames.size(); ++i) {
    if (!images[i]->Empty()) *doubled[i] = platform::LoadImage(files.File(DoubleSizeName(kSkinFileNames[i])));
  }
  return source;
}

SkinSource LoadSkinSource(const std::u16string& moduleDir) { return LoadSkinSource(platform::FolderFiles(moduleDir)); }

SkinImages SkinAtScale(const SkinSource& source, const DisplayScale& scale) {
  SkinImages scaled;
  const auto images = Members(source.images);
  const auto doubled = Members(source.doubled);
  const auto out = Members(scaled);
  for (size_t i = 0; i < out.size(); ++i) *out[i] = ImageAtScale(*images[i], *doubled[i], scale);
  return scaled;
}

BarFrames LoadBarFrames() {
  return {platform::LoadBitmapResource(130), platform::LoadBitmapResource(140),
          platform::LoadBitmapResource(141)};
}

// A strip of five tiles (2 0 1 2 0) is stretched, and the middle three cut from it: each tile's
// edges are then stretched against its real neighbours.
BarFrames BarFramesAtScale(const BarFrames& frames, const DisplayScale& scale) {
  if (scale.IsDesign() || frames[0].Empty()) return frames;
  const Size tile = frames[0].Extent();
  Bitmap strip(5 * tile.cx, tile.cy);
  Canvas canvas(strip);
  const size_t order[5] = {2, 0, 1, 2, 0};
  for (size_t i = 0; i < 5; ++i)
    canvas.BitBlt(Point{static_cast<int32_t>(i) * tile.cx, 0}, tile, frames[order[i]]);
  const Size scaled = scale.Of(tile);
  const Bitmap wide = ScaleImage(strip, Size{5 * scaled.cx, scaled.cy});
  BarFrames result;
  for (size_t i = 0; i < 3; ++i) {
    result[i] = Bitmap(scaled.cx, scaled.cy);
    Canvas(result[i]).BitBlt(Point{}, scaled, wide, Point{static_cast<int32_t>(i + 1) * scaled.cx, 0});
  }
  return result;
}

// The drag band spares the caption buttons' end of the top rows; it is kept in device pixels from
// the window's edges, as the pointer meets it.
Layout ComputeLayout(Size window, const Bitmap& tile, const Bitmap& statusBack, const DisplayScale& scale,
                     bool rightToLeft) {
  Layout l = DesignLayout(window, tile, statusBack);
  const auto rects = {&l.rcTitle,  &l.rcHeading, &l.rcBar,     &l.rcPercent,
                      &l.rcStatus, &l.rcClose,   &l.rcMinimize};
  for (Rect* r : rects) *r = scale.Of(*r);
  const int32_t width = scale.Px(window.cx);
  l.rcDragBand = Rect{0, 0, width - scale.Px(kDragBandEndMargin), scale.Px(kDragBandHeight)};
  l.rightToLeft = rightToLeft;
  if (!rightToLeft) return l;
  for (Rect* r : rects) *r = MirroredRect(*r, width);
  l.rcDragBand = MirroredRect(l.rcDragBand, width);
  return l;
}

}  // namespace ui
