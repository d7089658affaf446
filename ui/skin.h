// The skin: the ten images beside the executable (or packed inside it), the three built-in progress
// tiles, and the layout rectangles of the window that follow from their sizes.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/file_source.h"
#include "ui/bitmap.h"
#include "ui/display_scale.h"

namespace ui {

// The skin images in their loading order; an image whose file is missing or unreadable is empty.
struct SkinImages {
  Bitmap background;      // "MainWndBkg.jpg": the whole window; its size is the window's
  Bitmap statusBack;      // "StatusBkg.jpg": behind the status line; its size is the status area's
  Bitmap closeNormal;     // "Close_N.jpg"
  Bitmap closeHot;        // "Close_H.jpg"
  Bitmap minimizeNormal;  // "Min_N.jpg"
  Bitmap minimizeHot;     // "Min_H.jpg"
  Bitmap cancelNormal;    // "Cancel_N.jpg": its size is the Cancel button's
  Bitmap cancelHot;       // "Cancel_H.jpg"
  Bitmap cancelDisabled;  // "Cancel_D.jpg"
  Bitmap check;           // "CheckD.jpg": right of the bar once the download is complete
};

// File names in loading order, matching the members of SkinImages.
extern const std::array<const char16_t*, 10> kSkinFileNames;

// The name of an image's sharper copy: "MainWndBkg.jpg" -> "MainWndBkg@2x.jpg"; a name without an
// extension gets "@2x" at its end.
std::u16string DoubleSizeName(std::u16string_view name);

// Loads every image by its file name from `files`. A missing or unreadable file leaves its image
// empty and loading goes on.
SkinImages LoadSkinImages(const platform::IFileSet& files);
// The same from `moduleDir` + "\" + file name (the Linux build reads "\" as "/").
SkinImages LoadSkinImages(const std::u16string& moduleDir);

// The skin as shipped: each image at its design size, and the sharper copy a vendor may ship beside
// it with "@2x" before the extension ("MainWndBkg@2x.jpg"). A copy counts only beside its image: the
// image's size is the design size.
struct SkinSource {
  SkinImages images;
  SkinImages doubled;
};
SkinSource LoadSkinSource(const platform::IFileSet& files);
SkinSource LoadSkinSource(const std::u16string& moduleDir);

// The skin's images in device pixels at `scale`: each is its design size times the scale, taken
// from its "@2x" copy when the scale wants one and there is one, and stretched smoothly when its
// source is not already of that size. At the design scale the images are the shipped ones, as is.
SkinImages SkinAtScale(const SkinSource& source, const DisplayScale& scale);

// The progress tiles 130, 140 and 141, in that order.
using BarFrames = std::array<Bitmap, 3>;
BarFrames LoadBarFrames();
// The tiles at `scale`, stretched as one strip so that the bands still run on across tile edges.
BarFrames BarFramesAtScale(const BarFrames& frames, const DisplayScale& scale);

// Used in place of an image's size when the image is missing, so that no area is ever empty or
// negative: the status area of the shipped skin, and the tile height of the built-in tiles.
constexpr Size kFallbackStatusSize{300, 20};
constexpr Size kFallbackTileSize{6, 14};

// The cell height of the title and heading font, in design pixels: the heading is as high as its
// text, descenders included.
constexpr int32_t kTitleFontHeight = 17;

struct Layout {
  Rect rcTitle;
  Rect rcHeading;
  Rect rcBar;
  Rect rcPercent;
  Rect rcStatus;
  Rect rcClose;
  Rect rcMinimize;
  Rect rcDragBand;  // the band along the top that drags the window
  // The face is mirrored for a language read right to left: every rectangle stands where its
  // mirror image across the window's middle would, and the texts align and read from the right.
  bool rightToLeft = false;
  friend bool operator==(const Layout&, const Layout&) = default;
};

// The layout in device pixels at `scale` for a window of `window` size, first tile `tile` and status
// image `statusBack`, all three in design pixels (a missing image counts with its fallback size):
// the design layout with every rectangle's origin and size scaled, then mirrored when
// `rightToLeft`.
Layout ComputeLayout(Size window, const Bitmap& tile, const Bitmap& statusBack,
                     const DisplayScale& scale = {}, bool rightToLeft = false);

// `r` mirrored across the middle of a window `width` pixels wide.
constexpr Rect MirroredRect(const Rect& r, int32_t width) {
  return Rect{width - r.right, r.top, width - r.left, r.bottom};
}

}  // namespace ui
