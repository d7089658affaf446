// The image button bound to a (fake) window: its transparent background is cut from the parent's
// face at the button's place, its draw is presented at the window's size, and a click opens the
// button's address.
#include "app/button_binding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_window_host.h"

namespace {

using testing_support::FakeWindowHost;

ui::Bitmap NumberedFace(int32_t width, int32_t height) {
  ui::Bitmap face(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) face.Row(y)[x] = static_cast<uint32_t>(y * 1000 + x);
  }
  return face;
}

class ButtonBindingTest : public ::testing::Test, public IParentFace {
 protected:
  const ui::Bitmap& ParentFace() override { return face; }
  void DecorateButton(const ui::CTorvinButton&, ui::Bitmap&, const platform::ItemState&) override {}

  void SetUp() override {
    host.controls[1001].rect = {10, 20, 14, 23};
    binding.Bind(host, 1001);
  }

  FakeWindowHost host;
  ui::Bitmap face = NumberedFace(40, 30);
  ui::CTorvinButton button;
  ButtonBinding binding{button, *this};
};

TEST_F(ButtonBindingTest, TheBackgroundIsTheParentFaceUnderTheButton) {
  const ui::Bitmap capture = binding.CaptureParentBackground({4, 3});
  ASSERT_EQ(capture.Width(), 4);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 4; ++x)
      EXPECT_EQ(capture.Row(y)[x], static_cast<uint32_t>((20 + y) * 1000 + 10 + x));
  }
}

TEST_F(ButtonBindingTest, PartsOutsideTheFaceStayBlack) {
  binding.Move({38, -1, 42, 2});
  const ui::Bitmap capture = binding.CaptureParentBackground({4, 3});
  EXPECT_EQ(capture.Row(0)[0], 0u);     // above the face
  EXPECT_EQ(capture.Row(1)[0], 38u);    // (38, 0)
  EXPECT_EQ(capture.Row(2)[1], 1039u);  // (39, 1)
  EXPECT_EQ(capture.Row(2)[2], 0u);     // right of the face
  EXPECT_EQ(button.GetClientSize(), (ui::Size{4, 3}));
}

TEST_F(ButtonBindingTest, ADrawIsPresentedAtTheButtonsSize) {
  const platform::PixelView pixels = binding.DrawItem({});
  EXPECT_EQ(pixels.width, 4);
  EXPECT_EQ(pixels.height, 3);
  EXPECT_NE(pixels.pixels, nullptr);
}

TEST_F(ButtonBindingTest, AClickTakesTheFocusAndOpensTheAddress) {
  button.SetUrl(u"https://www.example.com/help");
  binding.OnReflectedClick();
  EXPECT_TRUE(host.controls[1001].focused);
  ASSERT_EQ(host.controls[1001].openedAddresses.size(), 1u);
  EXPECT_EQ(host.controls[1001].openedAddresses[0], u"https://www.example.com/help");
}

TEST_F(ButtonBindingTest, AClickPlaysItsSoundOnce) {
  button.SetSound(1, {u"click.wav", 0, 0});
  binding.OnReflectedClick();
  EXPECT_EQ(host.controls[1001].playedSounds, std::vector<std::u16string>{u"click.wav"});
}

// The platform's colours where it has them, from the binding on and after every change; the
// built-in table where it has none.
TEST_F(ButtonBindingTest, ButtonColoursFollowThePlatform) {
  EXPECT_EQ(button.m_colors[ui::CTorvinButton::ColorForeOut], ui::SystemColors{}.btnText);

  FakeWindowHost themed;
  platform::ButtonSystemColors colors;
  colors.face = ui::Rgb(10, 20, 30);
  colors.text = ui::Rgb(200, 100, 0);
  themed.controls[1000].systemColors = colors;
  ui::CTorvinButton other;
  ButtonBinding otherBinding{other, *this};
  otherBinding.Bind(themed, 1000);
  EXPECT_EQ(other.m_colors[ui::CTorvinButton::ColorBackIn], ui::Rgb(10, 20, 30));
  EXPECT_EQ(other.m_colors[ui::CTorvinButton::ColorForeFocus], ui::Rgb(200, 100, 0));

  colors.text = ui::Rgb(0, 0, 255);
  themed.controls[1000].systemColors = colors;
  other.SetColor(ui::CTorvinButton::ColorForeOut, ui::kWhite);
  otherBinding.OnSysColorChange();
  EXPECT_EQ(other.m_colors[ui::CTorvinButton::ColorForeOut], ui::Rgb(0, 0, 255));
}

TEST_F(ButtonBindingTest, HoverAsksForTheMouseLeave) {
  binding.OnMouseMove({true, false, true});
  EXPECT_TRUE(button.m_bHot);
  EXPECT_EQ(host.controls[1001].leaveTracks, 1);
  binding.OnMouseLeave();
  EXPECT_FALSE(button.m_bHot);
}

}  // namespace
