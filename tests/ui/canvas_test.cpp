// Our 2-D layer against the meaning the platform's GDI gives each operation.
#include "ui/canvas.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(Canvas, FillAndCopyStayInsideBothBitmaps) {
  Bitmap target(4, 3);
  Canvas canvas(target);
  canvas.FillSolidRect(Rect{-5, -5, 2, 10}, Rgb(1, 2, 3));
  EXPECT_EQ(canvas.GetPixel({1, 2}), Rgb(1, 2, 3));
  EXPECT_EQ(canvas.GetPixel({2, 0}), kBlack);

  Bitmap source(2, 2);
  source.SetPixel(1, 1, Rgb(9, 8, 7));
  canvas.BitBlt(Point{2, 1}, Size{5, 5}, source);  // only the source's 2 x 2 pixels move
  EXPECT_EQ(canvas.GetPixel({3, 2}), Rgb(9, 8, 7));
  EXPECT_EQ(canvas.GetPixel({2, 1}), kBlack);
  canvas.BitBlt(Point{0, 0}, Size{3, 3}, source, Point{1, 1});
  EXPECT_EQ(canvas.GetPixel({0, 0}), Rgb(9, 8, 7));
  EXPECT_EQ(canvas.GetPixel({1, 0}), Rgb(1, 2, 3));  // outside the source: left as it was
}

TEST(Canvas, ColourToMonoMarksTheSourceBackgroundColourAndMonoToColourTakesTargetColours) {
  Bitmap image(3, 1);
  image.SetPixel(0, 0, Rgb(50, 51, 51));
  image.SetPixel(1, 0, Rgb(50, 51, 52));
  image.SetPixel(2, 0, kWhite);
  Canvas imageCanvas(image);
  imageCanvas.SetBkColor(Rgb(50, 51, 51));

  Bitmap mask(3, 1, BitmapKind::Mono);
  Canvas maskCanvas(mask);
  maskCanvas.StretchBlt(mask.Bounds(), imageCanvas, image.Bounds());
  EXPECT_EQ(mask.GetPixel(0, 0), kWhite);
  EXPECT_EQ(mask.GetPixel(1, 0), kBlack);
  EXPECT_EQ(mask.GetPixel(2, 0), kBlack);

  Bitmap colour(3, 1);
  Canvas colourCanvas(colour);
  colourCanvas.SetBkColor(Rgb(10, 20, 30));
  colourCanvas.SetTextColor(Rgb(40, 50, 60));
  colourCanvas.StretchBlt(colour.Bounds(), maskCanvas, mask.Bounds());
  EXPECT_EQ(colour.GetPixel(0, 0), Rgb(10, 20, 30));
  EXPECT_EQ(colour.GetPixel(1, 0), Rgb(40, 50, 60));
}

TEST(Canvas, StretchWithAndCombinesAndScalesByNearestPixel) {
  Bitmap source(2, 1);
  source.SetPixel(0, 0, Rgb(0xF0, 0x0F, 0xFF));
  source.SetPixel(1, 0, kWhite);
  Canvas sourceCanvas(source);
  Bitmap target(4, 2);
  Canvas canvas(target);
  canvas.FillSolidRect(target.Bounds(), Rgb(0x3C, 0x3C, 0x3C));
  canvas.StretchBlt(target.Bounds(), sourceCanvas, source.Bounds(), RasterOp::SrcAnd);
  EXPECT_EQ(canvas.GetPixel({0, 0}), Rgb(0x30, 0x0C, 0x3C));
  EXPECT_EQ(canvas.GetPixel({1, 1}), Rgb(0x30, 0x0C, 0x3C));
  EXPECT_EQ(canvas.GetPixel({2, 0}), Rgb(0x3C, 0x3C, 0x3C));
  EXPECT_EQ(canvas.GetPixel({3, 1}), Rgb(0x3C, 0x3C, 0x3C));
}

TEST(Canvas, PenLinesLeaveOutTheirEndAndCentreTheirWidth) {
  Bitmap target(10, 6);
  Canvas canvas(target);
  canvas.Line(Point{0, 4}, Point{10, 4}, 2, kWhite);  // a 2-pixel line at row 4 covers rows 3 and 4
  EXPECT_EQ(canvas.GetPixel({0, 3}), kWhite);
  EXPECT_EQ(canvas.GetPixel({9, 4}), kWhite);
  EXPECT_EQ(canvas.GetPixel({5, 5}), kBlack);
  EXPECT_EQ(canvas.GetPixel({5, 2}), kBlack);

  Bitmap other(5, 5);
  Canvas c2(other);
  c2.Line(Point{1, 4}, Point{1, 0}, 1, kWhite);  // upwards: (1, 0) is the end and stays
  EXPECT_EQ(c2.GetPixel({1, 4}), kWhite);
  EXPECT_EQ(c2.GetPixel({1, 1}), kWhite);
  EXPECT_EQ(c2.GetPixel({1, 0}), kBlack);
}

TEST(Canvas, FocusRectangleInvertsEveryOtherOutlinePixel) {
  Bitmap target(6, 5);
  Canvas canvas(target);
  canvas.DrawFocusRect(Rect{0, 0, 6, 5});
  EXPECT_EQ(canvas.GetPixel({0, 0}), kWhite);
  EXPECT_EQ(canvas.GetPixel({1, 0}), kBlack);
  EXPECT_EQ(canvas.GetPixel({2, 0}), kWhite);
  EXPECT_EQ(canvas.GetPixel({0, 2}), kWhite);
  EXPECT_EQ(canvas.GetPixel({5, 1}), kWhite);
  EXPECT_EQ(canvas.GetPixel({2, 2}), kBlack);  // inside: untouched
  canvas.DrawFocusRect(Rect{0, 0, 6, 5});      // twice: gone again
  EXPECT_EQ(canvas.GetPixel({0, 0}), kBlack);
}

TEST(Canvas, ThreeDRectangleAndGradientAndDisabledImage) {
  Bitmap target(5, 4);
  Canvas canvas(target);
  const Color light = Rgb(200, 200, 200), dark = Rgb(60, 60, 60);
  canvas.Draw3dRect(Rect{0, 0, 5, 4}, light, dark);
  EXPECT_EQ(canvas.GetPixel({0, 0}), light);
  EXPECT_EQ(canvas.GetPixel({3, 0}), light);
  EXPECT_EQ(canvas.GetPixel({4, 0}), dark);  // the right edge runs the full height
  EXPECT_EQ(canvas.GetPixel({0, 3}), dark);  // the bottom edge the full width
  EXPECT_EQ(canvas.GetPixel({2, 2}), kBlack);

  canvas.GradientFillH(Rect{0, 0, 5, 1}, Rgb(0, 0, 0), Rgb(100, 50, 250));
  EXPECT_EQ(canvas.GetPixel({0, 0}), Rgb(0, 0, 0));
  EXPECT_EQ(canvas.GetPixel({2, 0}), Rgb(40, 20, 100));
  canvas.GradientFillH(Rect{0, 1, 5, 2}, Rgb(29, 29, 29), Rgb(29, 29, 29));
  EXPECT_EQ(canvas.GetPixel({4, 1}), Rgb(29, 29, 29));

  Bitmap image(2, 1);
  image.SetPixel(0, 0, Rgb(10, 10, 10));
  image.SetPixel(1, 0, kWhite);
  Bitmap face(4, 3);
  Canvas faceCanvas(face);
  faceCanvas.FillSolidRect(face.Bounds(), Rgb(1, 1, 1));
  faceCanvas.DrawDisabledImage(Point{0, 0}, image, Rgb(255, 255, 254), Rgb(128, 128, 128));
  EXPECT_EQ(faceCanvas.GetPixel({0, 0}), Rgb(128, 128, 128));
  EXPECT_EQ(faceCanvas.GetPixel({1, 1}), Rgb(255, 255, 254));
  EXPECT_EQ(faceCanvas.GetPixel({1, 0}), Rgb(1, 1, 1));  // white in the image: surface unchanged
}

TEST(Bitmap, NegativeSizeIsEmptyAndMonoPixelsAreBlackOrWhite) {
  Bitmap none(-3, 4);
  EXPECT_TRUE(none.Empty());
  EXPECT_EQ(none.Width(), 0);
  Bitmap mono(2, 1, BitmapKind::Mono);
  mono.SetPixel(0, 0, Rgb(250, 250, 250));
  mono.SetPixel(1, 0, kWhite);
  EXPECT_EQ(mono.GetPixel(0, 0), kBlack);
  EXPECT_EQ(mono.GetPixel(1, 0), kWhite);
}

}  // namespace
}  // namespace ui
