// The text seam: fonts by cell size and weight, the DrawText formats the face uses, clipping.
#include "platform/text.h"

#include <gtest/gtest.h>

#include "ui/canvas.h"

namespace platform {
namespace {

using ui::Bitmap;
using ui::Rect;

const ui::Color kGround = ui::Rgb(40, 40, 40);

// The smallest rectangle holding every pixel that differs from the ground.
Rect InkBounds(const Bitmap& b) {
  Rect ink{b.Width(), b.Height(), 0, 0};
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) != kGround)
        ink = Rect{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                   std::max(ink.bottom, y + 1)};
  return ink;
}

Bitmap Draw(const Font& font, std::u16string_view text, Rect rect, uint32_t format,
            ui::Size size = {200, 60}) {
  Bitmap b(size.cx, size.cy);
  ui::Canvas canvas(b);
  canvas.FillSolidRect(b.Bounds(), kGround);
  canvas.SetTextColor(ui::kWhite);
  canvas.RenderText(font, text, rect, format);
  return b;
}

TEST(TextSeam, CellHeightAndWidthDecideTheExtent) {
  const Font arial({u"Arial", 17, 7, 10, false});
  EXPECT_FALSE(arial.IsDefault());
  const Rect line = MeasureText(arial, u"Downloading...", Rect{5, 3, 500, 100}, kTextLeft);
  EXPECT_EQ(line.left, 5);
  EXPECT_EQ(line.top, 3);
  EXPECT_EQ(line.Height(), 17);
  const Rect wide =
      MeasureText(Font({u"Arial", 17, 9, 10, false}), u"Downloading...", Rect{5, 3, 500, 100}, kTextLeft);
  EXPECT_GT(wide.Width(), line.Width());
  const Rect bold =
      MeasureText(Font({u"Arial", 17, 0, 700, false}), u"Downloading...", Rect{5, 3, 500, 100}, kTextLeft);
  const Rect regular =
      MeasureText(Font({u"Arial", 17, 0, 10, false}), u"Downloading...", Rect{5, 3, 500, 100}, kTextLeft);
  EXPECT_GT(bold.Width(), regular.Width());  // 700 picks the bold face; 10 the regular one
}

TEST(TextSeam, WordBreakWrapsAtTheRectangleWidth) {
  const Font font({u"Arial", 15, 8, 700, true});
  const Rect one =
      MeasureText(font, u"Problems downloading?", Rect{0, 0, 400, 50}, kTextWordBreak | kTextCenter);
  EXPECT_EQ(one.Height(), 15);
  const Rect two = MeasureText(font, u"Problems downloading?", Rect{0, 0, one.Width() - 10, 50},
                               kTextWordBreak | kTextCenter);
  EXPECT_EQ(two.Height(), 30);
  EXPECT_LT(two.Width(), one.Width());
}

TEST(TextSeam, RightAlignedTextEndsAtTheRightEdgeAndStaysAtTheTopWithoutSingleLine) {
  const Font font({u"Arial", 16, 6, 10, false});
  const Rect rect{20, 0, 180, 60};
  const Rect ink = InkBounds(Draw(font, u"Initializing...", rect, kTextRight | kTextVCenter));
  EXPECT_GE(ink.right, 176);
  EXPECT_LE(ink.right, 180);
  EXPECT_LT(ink.bottom, 17);  // vertical centring without single line changes nothing
  const Rect centred =
      InkBounds(Draw(font, u"Initializing...", rect, kTextRight | kTextVCenter | kTextSingleLine));
  EXPECT_GT(centred.top, 20);
}

TEST(TextSeam, CentredTextAndClippingToTheRectangle) {
  const Font font({u"Arial", 16, 8, 7, false});
  const Rect box{100, 10, 145, 25};
  const Rect ink = InkBounds(Draw(font, u"33%", box, kTextCenter | kTextTop));
  EXPECT_NEAR((ink.left + ink.right) / 2, 122, 2);
  const Rect clipped =
      InkBounds(Draw(font, u"A status text much longer than its area", Rect{150, 5, 190, 12}, kTextRight));
  EXPECT_GE(clipped.left, 150);
  EXPECT_LE(clipped.right, 190);
  EXPECT_GE(clipped.top, 5);
  EXPECT_LE(clipped.bottom, 12);
}

TEST(TextSeam, UnderlineRunsUnderTheWholeText) {
  const Font plain({u"Arial", 15, 8, 700, false});
  const Font underlined({u"Arial", 15, 8, 700, true});
  const Rect plainInk = InkBounds(Draw(plain, u"Problems", Rect{0, 0, 200, 30}, kTextLeft));
  const Bitmap b = Draw(underlined, u"Problems", Rect{0, 0, 200, 30}, kTextLeft);
  const Rect ink = InkBounds(b);
  EXPECT_GE(ink.bottom, plainInk.bottom);
  int lit = 0;
  for (int32_t x = plainInk.left; x < plainInk.right; ++x) lit += b.GetPixel(x, ink.bottom - 1) != kGround;
  EXPECT_GE(lit, plainInk.Width() - 2);
}

#ifndef _WIN32  // the Windows font mapper always finds some face for a name
TEST(TextSeam, AFaceThatCannotBeHadFallsBackToTheDefaultFont) {
  EXPECT_TRUE(Font({u"No Such Face Anywhere", 17, 7, 10, false}).IsDefault());
  EXPECT_TRUE(Font({u"", 17, 7, 10, false}).IsDefault());
  const Font fallback({u"No Such Face Anywhere", 17, 7, 10, false});
  EXPECT_GT(MeasureText(fallback, u"text", Rect{0, 0, 100, 100}, kTextLeft).Width(), 0);
}
#endif

}  // namespace
}  // namespace platform
