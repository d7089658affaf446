// Loading the skin and computing the window layout from the sizes of its images.
#include "ui/skin.h"

#include "platform/image.h"

namespace ui {
namespace {

Size SizeOr(const Bitmap& image, Size fallback) { return image.Empty() ? fallback : image.Extent(); }

}  // namespace

const std::array<const char16_t*, 10> kSkinFileNames = {
    u"MainWndBkg.jpg", u"StatusBkg.jpg", u"Close_N.jpg",  u"Close_H.jpg",  u"Min_N.jpg",
    u"Min_H.jpg",      u"Cancel_N.jpg",  u"Cancel_H.jpg", u"Cancel_D.jpg", u"CheckD.jpg"};

SkinImages LoadSkinImages(const std::u16string& moduleDir) {
  SkinImages skin;
  Bitmap* const members[] = {&skin.background,     &skin.statusBack,  &skin.closeNormal,  &skin.closeHot,
                             &skin.minimizeNormal, &skin.minimizeHot, &skin.cancelNormal, &skin.cancelHot,
                             &skin.cancelDisabled, &skin.check};
  for (size_t i = 0; i < kSkinFileNames.size(); ++i) {
    *members[i] = platform::LoadImageFile(moduleDir + u'\\' + kSkinFileNames[i]);
  }
  return skin;
}

BarFrames LoadBarFrames() {
  return {platform::LoadBitmapResource(130), platform::LoadBitmapResource(140),
          platform::LoadBitmapResource(141)};
}

Layout ComputeLayout(Size window, const Bitmap& tile, const Bitmap& statusBack) {
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
  l.rcHeading.bottom = l.rcHeading.top + l.rcBar.Height();
  l.rcTitle = Rect{48, 9, 348, 32};
  l.rcClose = Rect{W - 6 - 23, 7, W - 6, 30};
  l.rcMinimize = Rect{l.rcClose.left - 6 - 23, 7, l.rcClose.left - 6, 30};
  return l;
}

}  // namespace ui
