// The skin: the ten images beside the executable, the three built-in progress tiles, and the layout
// rectangles of the window that follow from their sizes.
#pragma once

#include <array>
#include <string>

#include "ui/bitmap.h"

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

// Loads every image from `moduleDir` + "\" + file name (the Linux build reads "\" as "/"). A
// failed file leaves its image empty and loading goes on.
SkinImages LoadSkinImages(const std::u16string& moduleDir);

// The progress tiles 130, 140 and 141, in that order.
using BarFrames = std::array<Bitmap, 3>;
BarFrames LoadBarFrames();

// Used in place of an image's size when the image is missing, so that no area is ever empty or
// negative: the status area of the shipped skin, and the tile height of the built-in tiles.
constexpr Size kFallbackStatusSize{300, 20};
constexpr Size kFallbackTileSize{6, 14};

struct Layout {
  Rect rcTitle;
  Rect rcHeading;
  Rect rcBar;
  Rect rcPercent;
  Rect rcStatus;
  Rect rcClose;
  Rect rcMinimize;
  friend bool operator==(const Layout&, const Layout&) = default;
};

// The layout for a window of `window` size, first tile `tile` and status image `statusBack` (a
// missing image counts with its fallback size).
Layout ComputeLayout(Size window, const Bitmap& tile, const Bitmap& statusBack);

}  // namespace ui
