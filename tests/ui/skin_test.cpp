// The skin's layout rectangles and the built-in progress tiles.
#include "ui/skin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/image.h"
#include "ui/image_scaling.h"

namespace ui {
namespace {

TEST(ComputeLayout, FollowsFromWindowStatusImageAndTileSizes) {
  const Layout l = ComputeLayout(Size{600, 300}, Bitmap(6, 14), Bitmap(200, 20));
  EXPECT_EQ(l.rcBar, (Rect{95, 120, 540, 134}));
  EXPECT_EQ(l.rcHeading, (Rect{95, 78, 395, 95}));  // as high as the title font's cell
  EXPECT_EQ(l.rcStatus, (Rect{340, 144, 540, 164}));
  EXPECT_EQ(l.rcClose, (Rect{571, 7, 594, 30}));
  EXPECT_EQ(l.rcMinimize, (Rect{542, 7, 565, 30}));
  EXPECT_EQ(l.rcPercent, (Rect{546, 120, 591, 134}));
  EXPECT_EQ(l.rcTitle, (Rect{48, 9, 348, 32}));
}

TEST(ComputeLayout, HalvesTheHeightWithTruncationAndDoesNotClipANarrowWindow) {
  EXPECT_EQ(ComputeLayout(Size{600, 301}, Bitmap(6, 14), Bitmap(200, 20)).rcBar.top, 120);
  const Layout narrow = ComputeLayout(Size{400, 300}, Bitmap(6, 14), Bitmap(200, 20));
  EXPECT_EQ(narrow.rcBar.left, -105);
  EXPECT_EQ(narrow.rcBar.Width(), 445);
}

TEST(ComputeLayout, ScalesEveryRectangleByOriginAndSize) {
  const Layout design = ComputeLayout(Size{600, 300}, Bitmap(6, 14), Bitmap(200, 20));
  const Layout twice = ComputeLayout(Size{600, 300}, Bitmap(6, 14), Bitmap(200, 20), DisplayScale{2.0});
  EXPECT_EQ(twice.rcBar, (Rect{190, 240, 1080, 268}));
  EXPECT_EQ(twice.rcClose, (Rect{1142, 14, 1188, 60}));
  EXPECT_EQ(twice.rcHeading.Height(), 34);
  // At 150 % the halves round away from zero, and equal sizes stay equal wherever they lie.
  const Layout half = ComputeLayout(Size{600, 300}, Bitmap(6, 14), Bitmap(200, 20), DisplayScale{1.5});
  EXPECT_EQ(half.rcBar, (Rect{143, 180, 811, 201}));
  EXPECT_EQ(half.rcPercent, (Rect{819, 180, 887, 201}));
  EXPECT_EQ(half.rcHeading, (Rect{143, 117, 593, 143}));
  EXPECT_EQ(half.rcClose.Width(), half.rcMinimize.Width());
  EXPECT_EQ(half.rcBar.Height(), DisplayScale{1.5}.Px(14));  // the scaled tiles' height
  EXPECT_EQ(design.rcTitle,
            ComputeLayout(Size{600, 300}, Bitmap(6, 14), Bitmap(200, 20), DisplayScale{}).rcTitle);
}

TEST(ComputeLayout, MissingImagesCountWithTheirFallbackSizes) {
  const Layout l = ComputeLayout(Size{600, 300}, Bitmap(), Bitmap());
  EXPECT_EQ(l.rcBar.Height(), kFallbackTileSize.cy);
  EXPECT_EQ(l.rcStatus.Width(), kFallbackStatusSize.cx);
  EXPECT_EQ(l.rcStatus.Height(), kFallbackStatusSize.cy);
}

// The tile table: per row its darker colour A and lighter colour B, then each tile's pattern.
struct TileRow {
  Color a, b;
  const char* pattern[3];
};
constexpr Color Hex(uint32_t rrggbb) { return Rgb(rrggbb >> 16, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }
const TileRow kRows[13] = {
    {Hex(0x9BE0F4), Hex(0x9CE5FA), {"AAAABB", "BBBBBB", "AAAAAA"}},
    {Hex(0x26B9E6), Hex(0x28C4F5), {"AAABBB", "BBBBBA", "AAAAAA"}},
    {Hex(0x25B6E5), Hex(0x27C2F4), {"AABBBB", "BBBBAA", "AAAAAA"}},
    {Hex(0x23B3E4), Hex(0x26BFF4), {"ABBBBB", "BBBAAA", "AAAAAB"}},
    {Hex(0x22B0E3), Hex(0x24BCF4), {"BBBBBB", "BBAAAA", "AAAABB"}},
    {Hex(0x21ADE2), Hex(0x23BAF3), {"BBBBBB", "BAAAAA", "AAABBB"}},
    {Hex(0x20AAE1), Hex(0x22B8F2), {"BBBBBB", "AAAAAA", "AABBBB"}},
    {Hex(0x1FA7E0), Hex(0x20B5F2), {"BBBBBA", "AAAAAA", "ABBBBB"}},
    {Hex(0x1DA4DF), Hex(0x1FB2F2), {"BBBBAA", "AAAAAA", "BBBBBB"}},
    {Hex(0x1CA1DE), Hex(0x1EB0F1), {"BBBAAA", "AAAAAB", "BBBBBB"}},
    {Hex(0x1B9EDD), Hex(0x1DAEF1), {"BBAAAA", "AAAABB", "BBBBBB"}},
    {Hex(0x1A9CDC), Hex(0x1CACF1), {"BAAAAA", "AAABBB", "BBBBBA"}},
    {Hex(0x199ADB), Hex(0x1BAAF0), {"AAAAAA", "AABBBB", "BBBBAA"}},
};
const uint32_t kEdge[3][6] = {{0x1C1D1E, 0x1C1D1E, 0x1D1D1E, 0x1D1E1F, 0x1C1D1E, 0x1D1D1E},
                              {0x1D1D1E, 0x1C1D1E, 0x1C1D1E, 0x1C1D1E, 0x1C1D1E, 0x1C1D1E},
                              {0x1C1D1E, 0x1C1D1E, 0x1D1E1F, 0x1D1D1E, 0x1D1D1E, 0x1D1D1E}};

Color Expected(int tile, int x, int y) {
  if (y == 13) return Hex(kEdge[tile][x]);
  return kRows[y].pattern[tile][x] == 'A' ? kRows[y].a : kRows[y].b;
}

void ExpectTile(const Bitmap& tile, int index) {
  ASSERT_EQ(tile.Extent(), (Size{6, 14})) << "tile " << index;
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 6; ++x)
      ASSERT_EQ(tile.GetPixel(x, y), Expected(index, x, y)) << index << " " << x << "," << y;
}

// A 24-bit bottom-up bitmap file as the resource compiler takes it.
Bitmap ReadBmp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
  const auto u32 = [&](size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
  };
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || (b[28] | b[29] << 8) != 24) return {};
  const int32_t w = static_cast<int32_t>(u32(18)), h = static_cast<int32_t>(u32(22));
  const size_t offset = u32(10), stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  if (b.size() < offset + stride * h) return {};
  Bitmap bitmap(w, h);
  for (int32_t y = 0; y < h; ++y) {
    const unsigned char* row = &b[offset + stride * (h - 1 - y)];
    for (int32_t x = 0; x < w; ++x) bitmap.SetPixel(x, y, Rgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]));
  }
  return bitmap;
}

TEST(ProgressTiles, ResourceFilesHoldExactlyTheTable) {
  const char* files[] = {"130.bmp", "140.bmp", "141.bmp"};
  for (int i = 0; i < 3; ++i) ExpectTile(ReadBmp(std::string(TORVIN_SOURCE_DIR "/res/tiles/") + files[i]), i);
}

TEST(ProgressTiles, BuiltInTilesHoldExactlyTheTable) {
  const BarFrames frames = LoadBarFrames();
  for (int i = 0; i < 3; ++i) ExpectTile(frames[static_cast<size_t>(i)], i);
  EXPECT_TRUE(platform::LoadBitmapResource(131).Empty());
}

TEST(ProgressTiles, ScaledAsOneStripToTheScaledTileSize) {
  const BarFrames frames = LoadBarFrames();
  const BarFrames same = BarFramesAtScale(frames, DisplayScale{});
  for (int i = 0; i < 3; ++i) ExpectTile(same[static_cast<size_t>(i)], i);
  for (double factor : {1.25, 1.5, 2.0}) {
    const DisplayScale scale{factor};
    const BarFrames scaled = BarFramesAtScale(frames, scale);
    for (const Bitmap& tile : scaled) EXPECT_EQ(tile.Extent(), scale.Of(Size{6, 14})) << factor;
    // Row 0 of tile 1 is all B, and so are its neighbours' nearest pixels: no seam darkens it.
    EXPECT_EQ(scaled[1].GetPixel(0, 0), Hex(0x9CE5FA)) << factor;
  }
}

// The "@2x" copies: used from 150 % on, and only beside their image.
class SkinSources : public testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("torvin-skin-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::filesystem::path skin = TORVIN_SOURCE_DIR "/skin";
    std::filesystem::copy_file(skin / "StatusBkg.jpg", folder / "StatusBkg.jpg");
    std::filesystem::copy_file(skin / "Close_H.jpg", folder / "StatusBkg@2x.jpg");  // told apart by size
    std::filesystem::copy_file(skin / "Close_H.jpg", folder / "Min_N@2x.jpg");      // without its image
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
};

TEST_F(SkinSources, DoubleCopiesServeFromOneAndAHalfOnAndOnlyBesideTheirImage) {
  const SkinSource source = LoadSkinSource(folder.u16string());
  ASSERT_EQ(source.images.statusBack.Extent(), (Size{300, 20}));
  ASSERT_EQ(source.doubled.statusBack.Extent(), (Size{23, 23}));
  EXPECT_TRUE(source.doubled.minimizeNormal.Empty());

  const Bitmap& image = source.images.statusBack;
  const Bitmap& doubled = source.doubled.statusBack;
  struct Case {
    double factor;
    const Bitmap* from;
  };
  for (const Case& c : {Case{1.0, &image}, Case{1.25, &image}, Case{1.5, &doubled}, Case{2.0, &doubled}}) {
    const DisplayScale scale{c.factor};
    const SkinImages scaled = SkinAtScale(source, scale);
    const Bitmap expected = ScaleImage(*c.from, scale.Of(Size{300, 20}));
    ASSERT_EQ(scaled.statusBack.Extent(), expected.Extent()) << c.factor;
    EXPECT_TRUE(std::equal(expected.Data(), expected.Data() + 300 * 20, scaled.statusBack.Data()))
        << c.factor;
    EXPECT_TRUE(scaled.minimizeNormal.Empty()) << c.factor;
  }
}

TEST(Skin, DoubleSizeNames) {
  EXPECT_EQ(DoubleSizeName(u"MainWndBkg.jpg"), u"MainWndBkg@2x.jpg");
  EXPECT_EQ(DoubleSizeName(u"NoExtension"), u"NoExtension@2x");
}

}  // namespace
}  // namespace ui
