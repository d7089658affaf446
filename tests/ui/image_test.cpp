// The image seam and the loading of the shipped skin.
#include "platform/image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/utf.h"
#include "ui/skin.h"

namespace ui {
namespace {

namespace fs = std::filesystem;

std::u16string Path(const fs::path& p) { return platform::FromUtf8(p.generic_string()); }

fs::path Scratch() {
  const fs::path folder = fs::path(TORVIN_BINARY_DIR) / "test-scratch" / "ui-images";
  fs::create_directories(folder);
  return folder;
}

TEST(ImageSeam, DecodesPngPixelsExactly) {
  const Bitmap b = platform::LoadImageFile(u"" TORVIN_SOURCE_DIR "/tests/ui/data/pixels.png");
  ASSERT_EQ(b.Extent(), (Size{3, 2}));
  EXPECT_EQ(b.GetPixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(b.GetPixel(1, 0), Rgb(0, 255, 0));
  EXPECT_EQ(b.GetPixel(2, 0), Rgb(0, 0, 255));
  EXPECT_EQ(b.GetPixel(0, 1), Rgb(50, 51, 51));
  EXPECT_EQ(b.GetPixel(2, 1), Rgb(12, 34, 56));
  EXPECT_EQ(b.Row(1)[1], 0x00FFFFFFu);  // the fourth byte is clear
}

TEST(ImageSeam, MissingOrUnrecognisedFilesGiveAnEmptyImage) {
  EXPECT_TRUE(platform::LoadImageFile(Path(Scratch() / "no-such-file.jpg")).Empty());
  const fs::path text = Scratch() / "not-an-image.jpg";
  std::ofstream(text) << "this is not a picture";
  EXPECT_TRUE(platform::LoadImageFile(Path(text)).Empty());
  const fs::path empty = Scratch() / "empty.jpg";
  std::ofstream{empty};
  EXPECT_TRUE(platform::LoadImageFile(Path(empty)).Empty());
}

TEST(ShippedSkin, LoadsEveryImageAtItsSize) {
  const SkinImages skin = LoadSkinImages(u"" TORVIN_SOURCE_DIR "/skin");
  EXPECT_EQ(skin.background.Extent(), (Size{600, 330}));
  EXPECT_EQ(skin.statusBack.Extent(), (Size{300, 20}));
  for (const Bitmap* b : {&skin.closeNormal, &skin.closeHot, &skin.minimizeNormal, &skin.minimizeHot})
    EXPECT_EQ(b->Extent(), (Size{23, 23}));
  for (const Bitmap* b : {&skin.cancelNormal, &skin.cancelHot, &skin.cancelDisabled})
    EXPECT_EQ(b->Extent(), (Size{110, 34}));
  EXPECT_EQ(skin.check.Extent(), (Size{45, 14}));
  // The key colour in an In image turns black: the artwork must not contain it.
  for (const Bitmap* b : {&skin.cancelHot, &skin.cancelDisabled})
    for (int32_t y = 0; y < b->Height(); ++y)
      for (int32_t x = 0; x < b->Width(); ++x) ASSERT_NE(b->GetPixel(x, y), Rgb(50, 51, 51)) << x << "," << y;
}

TEST(ShippedSkin, AMissingFileLeavesOnlyItsImageEmpty) {
  const fs::path folder = Scratch() / "partial-skin";
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const char16_t* name : kSkinFileNames) {
    if (std::u16string(name) != u"Close_H.jpg")
      fs::copy_file(fs::path(TORVIN_SOURCE_DIR "/skin") / platform::ToUtf8(name),
                    folder / platform::ToUtf8(name));
  }
  const SkinImages skin = LoadSkinImages(Path(folder));
  EXPECT_TRUE(skin.closeHot.Empty());
  EXPECT_FALSE(skin.closeNormal.Empty());
  EXPECT_FALSE(skin.check.Empty());
}

}  // namespace
}  // namespace ui
