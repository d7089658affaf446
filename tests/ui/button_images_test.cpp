// Button images: the grey and darker copies, the masks, and how SetImages prepares both slots.
#include "ui/button_images.h"

#include <gtest/gtest.h>

#include "tests/ui/face_fixture.h"
#include "ui/torvin_button.h"

namespace ui {
namespace {

Bitmap OnePixel(Color c) {
  Bitmap b(1, 1);
  b.SetPixel(0, 0, c);
  return b;
}

TEST(ButtonImages, GreyAndDarkerCopiesPixelByPixel) {
  struct Case {
    Color in, gray, darker;
  };
  const Case cases[] = {
      {Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(191, 191, 191)},
      {Rgb(128, 128, 128), Rgb(127, 127, 127), Rgb(96, 96, 96)},
      {Rgb(1, 1, 1), Rgb(0, 0, 0), Rgb(0, 0, 0)},
      {Rgb(255, 0, 0), Rgb(76, 76, 76), Rgb(191, 0, 0)},
      {Rgb(0, 255, 0), Rgb(149, 149, 149), Rgb(0, 191, 0)},
      {Rgb(0, 0, 255), Rgb(29, 29, 29), Rgb(0, 0, 191)},
      {Rgb(200, 100, 50), Rgb(124, 124, 124), Rgb(150, 75, 37)},
      {kImageKeyColor, kImageKeyColor, kImageKeyColor},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MakeGrayImage(OnePixel(c.in)).GetPixel(0, 0), c.gray) << std::hex << c.in;
    EXPECT_EQ(MakeDarkerImage(OnePixel(c.in)).GetPixel(0, 0), c.darker) << std::hex << c.in;
  }
  EXPECT_TRUE(MakeGrayImage(Bitmap()).Empty());
}

TEST(ButtonImages, MaskMarksKeyPixelsAtTheButtonSizeAndBlackensThem) {
  Bitmap image(2, 2);
  image.SetPixel(0, 0, kImageKeyColor);
  image.SetPixel(1, 0, Rgb(50, 51, 52));
  image.SetPixel(0, 1, Rgb(9, 9, 9));
  const Bitmap mask = BuildImageMask(image, kImageKeyColor, Size{4, 4});
  ASSERT_TRUE(mask.IsMono());
  ASSERT_EQ(mask.Extent(), (Size{4, 4}));
  EXPECT_EQ(mask.GetPixel(0, 0), kWhite);  // stretched: the key pixel covers the top-left 2 x 2
  EXPECT_EQ(mask.GetPixel(1, 1), kWhite);
  EXPECT_EQ(mask.GetPixel(2, 0), kBlack);
  EXPECT_EQ(image.GetPixel(0, 0), kBlack);
  EXPECT_EQ(image.GetPixel(1, 0), Rgb(50, 51, 52));
  EXPECT_EQ(image.GetPixel(0, 1), Rgb(9, 9, 9));
  EXPECT_TRUE(BuildImageMask(image, kImageKeyColor, Size{0, 4}).Empty());
}

class SetImages : public testing::Test {
 protected:
  SetImages() {
    button.SetHost(&host);
    button.SetClientSize(Size{2, 1});
    in.SetPixel(0, 0, kImageKeyColor);
    in.SetPixel(1, 0, Rgb(200, 100, 50));
    out.SetPixel(0, 0, kBlack);
    out.SetPixel(1, 0, kImageKeyColor);
  }
  test::FakeButtonHost host{nullptr, Point{}};
  CTorvinButton button;
  Bitmap in{2, 1}, out{2, 1};
};

TEST_F(SetImages, InTakesTheKeyColourAndAGivenOutTakesBlack) {
  ASSERT_EQ(button.SetImages(std::make_shared<Bitmap>(in), std::make_shared<Bitmap>(out)),
            CTorvinButton::ImagesOk);
  const ImageSlot& s0 = button.m_images[0];
  const ImageSlot& s1 = button.m_images[1];
  EXPECT_EQ(s0.keyColor, kImageKeyColor);
  EXPECT_EQ(s0.image->GetPixel(0, 0), kBlack);
  EXPECT_EQ(s0.mask.GetPixel(0, 0), kWhite);
  EXPECT_EQ(s0.mask.GetPixel(1, 0), kBlack);
  EXPECT_EQ(s1.keyColor, kBlack);
  EXPECT_EQ(s1.image->GetPixel(0, 0), kBlack);
  EXPECT_EQ(s1.image->GetPixel(1, 0), kImageKeyColor);
  EXPECT_EQ(s1.mask.GetPixel(0, 0), kWhite);
  EXPECT_EQ(s1.mask.GetPixel(1, 0), kBlack);
  EXPECT_EQ(s0.width, 2u);
  EXPECT_EQ(host.repaints, 1);
}

TEST_F(SetImages, OneImageAsInAndOutIsOneObjectWithTwoMasks) {
  const ImageRef both = std::make_shared<Bitmap>(in);
  ASSERT_EQ(button.SetImages(both, both), CTorvinButton::ImagesOk);
  EXPECT_EQ(button.m_images[0].image, button.m_images[1].image);
  // The Out mask is built after the In mask blackened the key pixel, with black as its key.
  EXPECT_EQ(button.m_images[1].mask.GetPixel(0, 0), kWhite);
  button.ReleaseImages();
  EXPECT_EQ(both.use_count(), 1);
}

TEST_F(SetImages, DerivedOutImagesReadTheInImageBeforeItsMask) {
  ASSERT_EQ(button.SetImages(std::make_shared<Bitmap>(in), CTorvinButton::DeriveGray),
            CTorvinButton::ImagesOk);
  EXPECT_EQ(button.m_images[1].keyColor, kImageKeyColor);
  EXPECT_EQ(button.m_images[1].image->GetPixel(1, 0), Rgb(124, 124, 124));
  EXPECT_EQ(button.m_images[1].image->GetPixel(0, 0), kBlack);  // kept as key, then masked
  EXPECT_EQ(button.m_images[1].mask.GetPixel(0, 0), kWhite);
  ASSERT_EQ(button.SetImages(std::make_shared<Bitmap>(in), CTorvinButton::DeriveDarker),
            CTorvinButton::ImagesOk);
  EXPECT_EQ(button.m_images[1].image->GetPixel(1, 0), Rgb(150, 75, 37));
}

TEST_F(SetImages, FailuresLeaveEverySlotEmpty) {
  EXPECT_EQ(button.SetImages(nullptr, std::make_shared<Bitmap>(out)), CTorvinButton::ImagesOk);
  EXPECT_FALSE(button.m_images[0].image);
  EXPECT_FALSE(button.m_images[1].image);
  EXPECT_EQ(button.SetImages(std::make_shared<Bitmap>(), nullptr), CTorvinButton::ImageInvalid);
  EXPECT_FALSE(button.m_images[0].image);
  EXPECT_EQ(button.SetImages(std::make_shared<Bitmap>(in), std::make_shared<Bitmap>()),
            CTorvinButton::ImageInvalid);
  EXPECT_FALSE(button.m_images[0].image);
  button.SetClientSize(Size{});
  EXPECT_EQ(button.SetImages(std::make_shared<Bitmap>(in), nullptr), CTorvinButton::ImageMaskFailed);
  EXPECT_FALSE(button.m_images[0].image);
}

}  // namespace
}  // namespace ui
