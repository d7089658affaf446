// The face of a right-to-left language: the layout mirrored across the window's middle, the bar
// filling from the right, and the images and the percentage standing in their mirrored places
// unmirrored.
#include <gtest/gtest.h>

#include "tests/ui/face_fixture.h"
#include "ui/window_painting.h"

namespace ui {
namespace {

using test::Face;

Bitmap Mirrored(const Bitmap& b) {
  Bitmap m(b.Width(), b.Height());
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x) m.SetPixel(b.Width() - 1 - x, y, b.GetPixel(x, y));
  return m;
}

// Whether `a` at `atA` and `b` at `atB` hold the same pixels over `size`.
bool SamePixels(const Bitmap& a, Point atA, const Bitmap& b, Point atB, Size size) {
  for (int32_t y = 0; y < size.cy; ++y)
    for (int32_t x = 0; x < size.cx; ++x)
      if (a.GetPixel(atA.x + x, atA.y + y) != b.GetPixel(atB.x + x, atB.y + y)) return false;
  return true;
}

TEST(MirroredLayout, EveryRectangleStandsInItsMirrorPlaceAtEveryScale) {
  for (double factor : {1.0, 1.5}) {
    const DisplayScale scale{factor};
    const Layout ltr = ComputeLayout(Size{600, 300}, Bitmap(6, 14), Bitmap(200, 20), scale);
    const Layout rtl = ComputeLayout(Size{600, 300}, Bitmap(6, 14), Bitmap(200, 20), scale, true);
    const int32_t width = scale.Px(600);
    EXPECT_FALSE(ltr.rightToLeft);
    EXPECT_TRUE(rtl.rightToLeft);
    const Rect Layout::*rects[] = {&Layout::rcTitle,    &Layout::rcHeading, &Layout::rcBar,
                                   &Layout::rcPercent,  &Layout::rcStatus,  &Layout::rcClose,
                                   &Layout::rcMinimize, &Layout::rcDragBand};
    for (const auto rect : rects) EXPECT_EQ(rtl.*rect, MirroredRect(ltr.*rect, width)) << factor;
  }
  const Layout rtl = ComputeLayout(Size{600, 300}, Bitmap(6, 14), Bitmap(200, 20), {}, true);
  EXPECT_EQ(rtl.rcClose, (Rect{6, 7, 29, 30}));  // the caption buttons in the left corner
  EXPECT_EQ(rtl.rcBar, (Rect{60, 120, 505, 134}));
  EXPECT_EQ(rtl.rcDragBand, (Rect{50, 0, 600, 32}));  // dragging spares the caption buttons' end
}

class MirroredFace : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(face.skin.background.Empty()) << "the shipped skin did not load";
    mirrored.layout = ComputeLayout(face.source.images.background.Extent(), face.designFrames[0],
                                    face.source.images.statusBack, face.scale, true);
  }
  FaceState Ltr(std::u16string_view status, uint64_t shown = 0, uint64_t total = 0) const {
    return face.State(status, shown, total);
  }
  FaceState Rtl(std::u16string_view status, uint64_t shown = 0, uint64_t total = 0) const {
    FaceState state = face.State(status, shown, total);
    state.layout = mirrored.layout;
    return state;
  }

  Face face;
  struct {
    Layout layout;
  } mirrored;
};

TEST_F(MirroredFace, TheBarFillsFromTheRightAndThePercentageIsNotMirrored) {
  int32_t phase = 0;
  const Bitmap ltr = PaintProgressStrip(Ltr(u"", 1, 3), phase);
  phase = 0;
  const Bitmap rtl = PaintProgressStrip(Rtl(u"", 1, 3), phase);
  ASSERT_EQ(rtl.Extent(), ltr.Extent());
  EXPECT_EQ(ProgressStripRect(mirrored.layout), MirroredRect(ProgressStripRect(face.layout), face.window.cx));
  EXPECT_EQ(ProgressInvalidRect(mirrored.layout),
            MirroredRect(ProgressInvalidRect(face.layout), face.window.cx));
  // The track and its fill are the left-to-right strip's mirror image; the fill starts at the right.
  const Bitmap flipped = Mirrored(ltr);
  const int32_t box = 50;  // the percentage box's end of the strip
  EXPECT_TRUE(SamePixels(rtl, Point{box, 0}, flipped, Point{box, 0}, Size{rtl.Width() - box, rtl.Height()}));
  const int32_t middle = rtl.Height() / 2;
  EXPECT_NE(rtl.GetPixel(rtl.Width() - 10, middle), kTrackColor);
  EXPECT_EQ(rtl.GetPixel(box + 20, middle), kTrackColor);
  // The percentage reads as it does left to right, in its box (45 px, 5 px from the strip's end) at
  // the other end.
  EXPECT_TRUE(SamePixels(rtl, Point{5, 0}, ltr, Point{ltr.Width() - box, 0}, Size{45, ltr.Height()}));
}

TEST_F(MirroredFace, TheCheckMarkAndTheCaptionButtonsStandMirroredAsTheyAre) {
  int32_t phase = 0;
  const Bitmap complete = PaintProgressStrip(Rtl(u"", 100, 100), phase);
  // Left to right the check stands 4 px into the box, that is 46 px from the strip's end.
  EXPECT_TRUE(SamePixels(complete, Point{1, 0}, face.skin.check, Point{}, Size{45, 14}));
  const Bitmap staticFace = PaintStaticFace(Rtl(u""));
  const Rect close = mirrored.layout.rcClose, minimize = mirrored.layout.rcMinimize;
  EXPECT_LT(close.right, minimize.left) << "close is the outermost, now at the left";
  EXPECT_TRUE(
      SamePixels(staticFace, Point{close.left, close.top}, face.skin.closeNormal, Point{}, Size{23, 23}));
  EXPECT_TRUE(SamePixels(staticFace, Point{minimize.left, minimize.top}, face.skin.minimizeNormal, Point{},
                         Size{23, 23}));
  // The background is the vendor's picture, not mirrored.
  EXPECT_EQ(staticFace.GetPixel(300, 290), face.skin.background.GetPixel(300, 290));
}

TEST_F(MirroredFace, TextsStartAtTheRightAndTheStatusStandsAtTheBarsLeftEnd) {
  FaceState noName = Rtl(u"");
  noName.productName = u"";
  const Bitmap plain = PaintStaticFace(noName);
  const Bitmap named = PaintStaticFace(Rtl(u""));
  for (const Rect& place : {mirrored.layout.rcHeading, mirrored.layout.rcTitle}) {
    const Rect name = test::Difference(named, plain, place);
    // The Windows text layer ends right-aligned text a few pixels short of the edge.
    EXPECT_GE(name.right, place.right - 6) << "the product name ends at its place's right edge";
    EXPECT_GT(name.left, place.left + 20);
  }

  const Bitmap blank = PaintStatusLine(Rtl(u""));
  const Rect ink = test::Difference(PaintStatusLine(Rtl(u"Downloading...")), blank, blank.Bounds());
  EXPECT_LE(ink.left, 2) << "aligned at the bar's left end";
  EXPECT_LT(ink.right, blank.Width() / 2);
}

}  // namespace
}  // namespace ui
