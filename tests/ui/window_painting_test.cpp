// The window's face, pixel by pixel: the static face, the progress strip and the status line.
#include "ui/window_painting.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/ui/face_fixture.h"

namespace ui {
namespace {

using test::Face;

TEST(ComputeBarFill, WholePercentStepsCompletionAndOddTotals) {
  struct Case {
    uint64_t shown, total;
    bool complete, showPercent;
    int64_t percent;
    int32_t fill;
  };
  const uint64_t max = std::numeric_limits<uint64_t>::max();
  const Case cases[] = {
      {0, 1000, false, true, 0, 0},         {999, 1000, false, true, 99, 440},
      {1, 3, false, true, 33, 146},         {1000, 1000, true, false, 0, 445},
      {0, 0, true, false, 0, 445},          {5, 0, false, false, 0, 0},
      {1500, 1000, false, true, 100, 445},  // more than announced: held at a full track
      {max - 1, max, false, true, 99, 440}, {max / 2, max, false, true, 49, 218},
  };
  for (const Case& c : cases) {
    const BarFill fill = ComputeBarFill(c.shown, c.total, 445);
    EXPECT_EQ(fill.complete, c.complete) << c.shown << "/" << c.total;
    EXPECT_EQ(fill.showPercent, c.showPercent) << c.shown << "/" << c.total;
    if (c.showPercent) {
      EXPECT_EQ(fill.percent, c.percent) << c.shown << "/" << c.total;
    }
    EXPECT_EQ(fill.fillWidth, c.fill) << c.shown << "/" << c.total;
  }
}

class WindowPainting : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(face.skin.background.Empty()) << "the shipped skin did not load"; }
  Bitmap Strip(uint64_t shown, uint64_t total, int32_t phase = 0) {
    return PaintProgressStrip(face.State(u"", shown, total), phase);
  }
  Face face;
};

TEST_F(WindowPainting, StripFillsWholePercentStepsInsideTheTrack) {
  const Bitmap strip = Strip(999, 1000);
  ASSERT_EQ(strip.Extent(), (Size{497, 15}));
  EXPECT_EQ(strip.GetPixel(0, 5), kTrackColor);  // the 1-pixel margin left of the fill
  for (int32_t x = 1; x <= 440; ++x) ASSERT_NE(strip.GetPixel(x, 5), kTrackColor) << x;
  EXPECT_EQ(strip.GetPixel(441, 5), kTrackColor);
  EXPECT_EQ(strip.GetPixel(446, 5), kTrackColor);
  for (int32_t x = 0; x < 447; ++x) ASSERT_EQ(strip.GetPixel(x, 14), kTrackLineColor) << x;
  EXPECT_EQ(strip.GetPixel(447, 0), kPercentBoxColor);
  EXPECT_EQ(strip.GetPixel(496, 14), kPercentBoxColor);

  const Bitmap third = Strip(1, 3);
  EXPECT_NE(third.GetPixel(146, 5), kTrackColor);  // fill 146: the last tile is cut there
  EXPECT_EQ(third.GetPixel(147, 5), kTrackColor);
  EXPECT_EQ(Strip(0, 1000).GetPixel(1, 5), kTrackColor);
}

TEST_F(WindowPainting, StripShowsThePercentageInTheBoxAndTheCheckMarkWhenComplete) {
  const Bitmap empty = Strip(0, 0);  // complete: no text, the check image instead
  const Bitmap pct = Strip(999, 1000);
  Bitmap box(497, 15);
  Canvas(box).FillSolidRect(box.Bounds(), kPercentBoxColor);
  const Rect text = test::Difference(pct, box, Rect{447, 0, 497, 15});
  EXPECT_GE(text.left, 447);
  EXPECT_LE(text.right, 492);
  EXPECT_NEAR((text.left + text.right) / 2, 469, 2);  // centred in the box
  EXPECT_LE(text.top, 4);  // at the box's top: the digits start below the cell's internal leading

  for (int32_t y = 0; y < 14; ++y)
    for (int32_t x = 0; x < 45; ++x)
      ASSERT_EQ(empty.GetPixel(451 + x, y), face.skin.check.GetPixel(x, y)) << x << "," << y;
  for (int32_t x = 1; x <= 445; ++x) ASSERT_NE(empty.GetPixel(x, 5), kTrackColor) << x;
  EXPECT_EQ(empty.GetPixel(446, 5), kTrackColor);  // complete: a track margin at the right too
  EXPECT_EQ(empty.GetPixel(450, 5), kPercentBoxColor);
}

TEST_F(WindowPainting, SuccessivePaintsStartWithTheNextTile) {
  int32_t phase = 0;
  const FaceState state = face.State(u"", 500, 1000);
  for (int paint = 0; paint < 4; ++paint) {
    const int first = paint % 3;
    const Bitmap strip = PaintProgressStrip(state, phase);
    EXPECT_EQ(phase, (paint + 1) % 3);
    for (int32_t y = 0; y < 14; ++y) {
      for (int32_t x = 0; x < 6; ++x) {
        ASSERT_EQ(strip.GetPixel(1 + x, y), face.frames[first].GetPixel(x, y)) << paint;
        ASSERT_EQ(strip.GetPixel(7 + x, y), face.frames[(first + 1) % 3].GetPixel(x, y)) << paint;
      }
    }
  }
}

TEST_F(WindowPainting, StaticFaceHasTrackCaptionButtonsTitleAndWholeHeading) {
  const Bitmap full = PaintStaticFace(face.State(u""));
  FaceState unnamed = face.State(u"");
  unnamed.productName = u"";
  const Bitmap bare = PaintStaticFace(unnamed);
  const Layout& l = face.layout;
  ASSERT_EQ(full.Extent(), face.window);

  EXPECT_EQ(full.GetPixel(l.rcBar.left - 1, l.rcBar.top), kTrackColor);
  EXPECT_EQ(full.GetPixel(l.rcBar.right, l.rcBar.bottom - 1), kTrackColor);
  EXPECT_EQ(full.GetPixel(l.rcBar.left + 100, l.rcBar.bottom), kTrackLineColor);
  for (int32_t y = 0; y < 23; ++y) {
    for (int32_t x = 0; x < 23; ++x) {
      ASSERT_EQ(full.GetPixel(l.rcClose.left + x, l.rcClose.top + y), face.skin.closeNormal.GetPixel(x, y));
      ASSERT_EQ(full.GetPixel(l.rcMinimize.left + x, l.rcMinimize.top + y),
                face.skin.minimizeNormal.GetPixel(x, y));
    }
  }
  const Rect title = test::Difference(full, bare, Rect{0, 0, face.window.cx, 45});
  EXPECT_GE(title.left, l.rcTitle.left);
  EXPECT_LE(title.bottom, l.rcTitle.bottom);
  const Rect heading = test::Difference(full, bare, Rect{0, 60, face.window.cx, 130});
  EXPECT_GE(heading.left, l.rcHeading.left);
  EXPECT_LE(heading.bottom, l.rcHeading.bottom);
  // Same text, same font: with its descenders the heading's ink is as high as the title's.
  EXPECT_EQ(heading.Height(), title.Height());
  EXPECT_EQ(heading.top - l.rcHeading.top, title.top - l.rcTitle.top);
}

TEST_F(WindowPainting, StatusLineIsRightAlignedAtTheTopAndCutAtItsLeftEdge) {
  const Bitmap blank = PaintStatusLine(face.State(u""));
  ASSERT_EQ(blank.Extent(), face.skin.statusBack.Extent());
  EXPECT_EQ(blank.GetPixel(3, 3), face.skin.statusBack.GetPixel(3, 3));
  const Bitmap line = PaintStatusLine(face.State(u"Downloading..."));
  const Rect ink = test::Difference(line, blank, blank.Bounds());
  EXPECT_GE(ink.right, blank.Width() - 3);
  EXPECT_LT(ink.left, blank.Width() - 40);
  EXPECT_LE(ink.top, 4);
  const std::u16string longText(200, u'W');
  const Rect cut = test::Difference(PaintStatusLine(face.State(longText)), blank, blank.Bounds());
  EXPECT_EQ(cut.left, 0);
}

TEST_F(WindowPainting, MissingImagesGiveAPlainFaceOfTheFallbackSizes) {
  const SkinImages none;
  FaceState state = face.State(u"Initializing...", 10, 100);
  state.skin = &none;
  state.layout = ComputeLayout(face.window, face.frames[0], none.statusBack);
  const Bitmap staticFace = PaintStaticFace(state);
  EXPECT_EQ(staticFace.GetPixel(5, 5), Rgb(40, 40, 40));
  const Bitmap status = PaintStatusLine(state);
  EXPECT_EQ(status.Extent(), kFallbackStatusSize);
  EXPECT_EQ(status.GetPixel(0, 0), Rgb(40, 40, 40));
  int32_t phase = 0;
  state.shownBytes = state.totalBytes;
  EXPECT_EQ(PaintProgressStrip(state, phase).GetPixel(460, 5), kPercentBoxColor);  // no check image
}

TEST_F(WindowPainting, SkinImageDrawsItsCornerOrLeavesTheFace) {
  const Bitmap staticFace = PaintStaticFace(face.State(u""));
  const Rect close = face.layout.rcClose;
  const Bitmap hot = DrawSkinImage(close, face.skin.closeHot, staticFace);
  EXPECT_EQ(hot.Extent(), (Size{23, 23}));
  EXPECT_EQ(hot.GetPixel(11, 11), face.skin.closeHot.GetPixel(11, 11));
  const Bitmap missing = DrawSkinImage(close, Bitmap(), staticFace);
  EXPECT_EQ(missing.GetPixel(11, 11), staticFace.GetPixel(close.left + 11, close.top + 11));
}

TEST_F(WindowPainting, ProgressRectanglesFollowTheBar) {
  EXPECT_EQ(ProgressStripRect(face.layout), (Rect{94, 135, 591, 150}));
  EXPECT_EQ(ProgressInvalidRect(face.layout), (Rect{93, 133, 591, 151}));
}

}  // namespace
}  // namespace ui
