// Smooth stretching: area averaging down, bilinear up, each axis on its own.
#include "ui/image_scaling.h"

#include <gtest/gtest.h>

#include <vector>

namespace ui {
namespace {

// A one-row grey image from its levels.
Bitmap GreyRow(const std::vector<uint8_t>& levels) {
  Bitmap b(static_cast<int32_t>(levels.size()), 1);
  for (size_t x = 0; x < levels.size(); ++x)
    b.SetPixel(static_cast<int32_t>(x), 0, Rgb(levels[x], levels[x], levels[x]));
  return b;
}

TEST(ScaleImage, AveragesCoveredAreasDownAndInterpolatesUp) {
  struct Case {
    std::vector<uint8_t> from;
    std::vector<uint8_t> to;
  };
  const Case cases[] = {
      {{0, 100, 200, 50}, {50, 125}},           // 2:1, whole pixels
      {{0, 90, 180}, {30, 150}},                // 3:2, the middle pixel split between both
      {{0, 100}, {0, 25, 75, 100}},             // 1:2, the edges hold
      {{0, 100, 200}, {0, 40, 100, 160, 200}},  // centres at -0.2, 0.4, 1, 1.6, 2.2
  };
  for (const Case& c : cases) {
    const Bitmap scaled = ScaleImage(GreyRow(c.from), Size{static_cast<int32_t>(c.to.size()), 1});
    ASSERT_EQ(scaled.Width(), static_cast<int32_t>(c.to.size()));
    for (size_t x = 0; x < c.to.size(); ++x)
      EXPECT_EQ(scaled.GetPixel(static_cast<int32_t>(x), 0), Rgb(c.to[x], c.to[x], c.to[x]))
          << c.from.size() << "->" << c.to.size() << " at " << x;
  }
}

TEST(ScaleImage, KeepsFlatAreasAndChannelsApartInBothDirectionsAtOnce) {
  Bitmap flat(7, 5);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x) flat.SetPixel(x, y, x < 3 ? Rgb(200, 0, 0) : Rgb(0, 0, 90));
  const Bitmap scaled = ScaleImage(flat, Size{11, 3});  // wider and lower
  ASSERT_EQ(scaled.Extent(), (Size{11, 3}));
  for (int32_t y = 0; y < 3; ++y) {
    EXPECT_EQ(scaled.GetPixel(0, y), Rgb(200, 0, 0));
    EXPECT_EQ(scaled.GetPixel(10, y), Rgb(0, 0, 90));
    for (int32_t x = 0; x < 11; ++x) EXPECT_EQ(GreenOf(scaled.GetPixel(x, y)), 0);
  }
}

TEST(ScaleImage, SameSizeIsUnchangedAndNothingGivesNothing) {
  const Bitmap row = GreyRow({1, 2, 3});
  const Bitmap same = ScaleImage(row, row.Extent());
  EXPECT_TRUE(std::equal(row.Data(), row.Data() + 3, same.Data()));
  EXPECT_TRUE(ScaleImage(Bitmap(), Size{4, 4}).Empty());
  EXPECT_TRUE(ScaleImage(row, Size{0, 1}).Empty());
}

}  // namespace
}  // namespace ui
