// Masks and derived copies of an image button's images.
#include "ui/button_images.h"

#include "ui/canvas.h"

namespace ui {
namespace {

// A copy of `image` with `derive` applied to every pixel but those of the key colour.
template <typename Derive>
Bitmap DeriveImage(const Bitmap& image, Derive derive) {
  if (image.Empty()) return {};
  Bitmap copy(image.Width(), image.Height());
  for (int32_t y = 0; y < image.Height(); ++y) {
    for (int32_t x = 0; x < image.Width(); ++x) {
      const Color c = image.GetPixel(x, y);
      copy.SetPixel(x, y, c == kImageKeyColor ? kImageKeyColor : derive(c));
    }
  }
  return copy;
}

// `v` rounded to double: the x87 unit of a 32-bit build otherwise keeps intermediate results in 80
// bits, which changes the last unit of the grey value (255, 255, 255 would give 254).
double AsDouble(double v) {
  volatile double stored = v;
  return stored;
}

}  // namespace

Bitmap BuildImageMask(Bitmap& image, Color key, Size maskSize) {
  if (image.Empty() || maskSize.cx <= 0 || maskSize.cy <= 0) return {};
  Bitmap mask(maskSize.cx, maskSize.cy, BitmapKind::Mono);
  Canvas imageCanvas(image);
  Canvas maskCanvas(mask);
  imageCanvas.SetBkColor(key);
  maskCanvas.StretchBlt(mask.Bounds(), imageCanvas, image.Bounds());
  // Mask 1 lands as the background colour (black) and 0 as the text colour (white): AND blackens
  // exactly the key-coloured pixels.
  imageCanvas.SetTextColor(kWhite);
  imageCanvas.SetBkColor(kBlack);
  imageCanvas.StretchBlt(image.Bounds(), maskCanvas, mask.Bounds(), RasterOp::SrcAnd);
  return mask;
}

Bitmap MakeGrayImage(const Bitmap& image) {
  return DeriveImage(image, [](Color c) {
    // This order of the double-precision sum decides the last unit: (128, 128, 128) gives 127.
    const double gr = AsDouble(AsDouble(0.587 * GreenOf(c)) + AsDouble(0.299 * RedOf(c)));
    const double luma = AsDouble(gr + AsDouble(0.114 * BlueOf(c)));
    const auto v = static_cast<uint8_t>(static_cast<int32_t>(luma) & 0xFF);
    return Rgb(v, v, v);
  });
}

Bitmap MakeDarkerImage(const Bitmap& image) {
  return DeriveImage(image, [](Color c) {
    const auto darker = [](uint8_t v) { return static_cast<uint8_t>(v - v * 0.25); };
    return Rgb(darker(RedOf(c)), darker(GreenOf(c)), darker(BlueOf(c)));
  });
}

}  // namespace ui
