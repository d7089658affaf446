// Smooth stretching of skin images: area averaging where an image shrinks, bilinear interpolation
// where it grows, each axis on its own.
#pragma once

#include "ui/bitmap.h"

namespace ui {

// `image` stretched to `size`; an image already of that size comes back unchanged, an empty image
// or an empty size gives an empty bitmap. Colour bitmaps only.
Bitmap ScaleImage(const Bitmap& image, Size size);

}  // namespace ui
