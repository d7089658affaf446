// Preparation of an image button's images, done once when they are set: the one-bit mask of an
// image's key-coloured pixels, and grey or darker copies of an image.
#pragma once

#include "ui/bitmap.h"

namespace ui {

// The key colour of an In image and of a derived Out image; its pixels are transparent in the mask
// and kept as they are by the derivations.
constexpr Color kImageKeyColor = Rgb(50, 51, 51);

// A mono mask of `maskSize` (the button's client size) in which every pixel of `image` equal to
// `key` is 1, stretched from the image's size; the image's key-coloured pixels turn black on the
// way. Empty when the mask cannot be made (an empty image or mask size).
Bitmap BuildImageMask(Bitmap& image, Color key, Size maskSize);

// Grey and 75 % copies of `image`, pixel by pixel; key-coloured pixels stay. Empty for an empty image.
Bitmap MakeGrayImage(const Bitmap& image);
Bitmap MakeDarkerImage(const Bitmap& image);

}  // namespace ui
