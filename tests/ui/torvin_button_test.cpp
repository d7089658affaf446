// The image button: its look in each state of the installer window, hover, styles and placement.
#include "ui/torvin_button.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/ui/face_fixture.h"
#include "ui/button_images.h"

namespace ui {
namespace {

using test::DrawButton;
using test::Look;

bool HasPixel(const Bitmap& b, Color c) {
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) == c) return true;
  return false;
}

class InstallerButtons : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(face.skin.cancelNormal.Empty()) << "the shipped skin did not load";
    back = PaintStaticFace(face.State(u""));
    cancel.SetHost(&cancelHost);
    link.SetHost(&linkHost);
    test::SetUpCancel(cancel, face);
    test::SetUpLink(link, face);
  }
  // Where the caption's pixels are: the difference to the same look without caption.
  Rect Caption(CTorvinButton& b, Look look, std::u16string_view text) {
    const Bitmap with = DrawButton(b, look, text);
    return test::Difference(with, DrawButton(b, look, u""), with.Bounds());
  }

  test::Face face;
  Bitmap back;
  test::FakeButtonHost cancelHost{&back, face.cancelAt};
  test::FakeButtonHost linkHost{&back, face.linkAt};
  CTorvinButton cancel, link;
};

TEST_F(InstallerButtons, CancelBeforeCancellation) {
  const Bitmap normal = DrawButton(cancel, Look::Normal, u"Cancel");
  const Bitmap hot = DrawButton(cancel, Look::Hot, u"Cancel");
  const Bitmap pressed = DrawButton(cancel, Look::Pressed, u"Cancel");
  const Bitmap focused = DrawButton(cancel, Look::Focused, u"Cancel");
  EXPECT_EQ(normal.GetPixel(3, 3), face.skin.cancelNormal.GetPixel(3, 3));
  EXPECT_EQ(hot.GetPixel(3, 3), face.skin.cancelHot.GetPixel(3, 3));
  EXPECT_EQ(pressed.GetPixel(3, 3), face.skin.cancelHot.GetPixel(3, 3));
  for (const Bitmap* b : {&normal, &hot, &pressed}) EXPECT_TRUE(HasPixel(*b, kWhite));
  EXPECT_EQ(std::vector<uint32_t>(focused.Data(), focused.Data() + focused.Width() * focused.Height()),
            std::vector<uint32_t>(normal.Data(), normal.Data() + normal.Width() * normal.Height()))
      << "a flat, frameless button shows no focus rectangle";

  Rect hotCaption = Caption(cancel, Look::Hot, u"Cancel");
  const Rect pressedCaption = Caption(cancel, Look::Pressed, u"Cancel");
  hotCaption.Offset(1, 1);
  EXPECT_EQ(pressedCaption, hotCaption);
  // Centred on the whole button.
  EXPECT_NEAR(hotCaption.left - 1 + hotCaption.right - 1, face.cancelSize.cx, 3);
}

TEST_F(InstallerButtons, CancelAfterCancellationIsGreyAndDoesNotMove) {
  test::ShowCancelConfirmed(cancel, face);
  for (Look look : {Look::Normal, Look::Hot, Look::Pressed, Look::Focused}) {
    const Bitmap b = DrawButton(cancel, look, u"Cancel");
    EXPECT_EQ(b.GetPixel(3, 3), face.skin.cancelDisabled.GetPixel(3, 3));
    EXPECT_TRUE(HasPixel(b, Rgb(133, 133, 133)));
    EXPECT_FALSE(HasPixel(b, kWhite));
  }
  EXPECT_EQ(Caption(cancel, Look::Pressed, u"Cancel"), Caption(cancel, Look::Normal, u"Cancel"));
}

TEST_F(InstallerButtons, LinkIsGreyUnderlinedTextOnTheWindowAndWhiteUnderThePointer) {
  const Bitmap normal = DrawButton(link, Look::Normal, u"Problems downloading?");
  EXPECT_EQ(normal.GetPixel(0, 0), back.GetPixel(face.linkAt.x, face.linkAt.y));
  EXPECT_EQ(normal.GetPixel(test::kLinkSize.cx - 1, 2),
            back.GetPixel(face.linkAt.x + test::kLinkSize.cx - 1, face.linkAt.y + 2));
  EXPECT_TRUE(HasPixel(normal, Rgb(165, 165, 165)));
  EXPECT_FALSE(HasPixel(normal, kWhite));
  EXPECT_TRUE(HasPixel(DrawButton(link, Look::Hot, u"Problems downloading?"), kWhite));
  EXPECT_TRUE(HasPixel(DrawButton(link, Look::Pressed, u"Problems downloading?"), kWhite));
  EXPECT_FALSE(HasPixel(DrawButton(link, Look::Focused, u"Problems downloading?"), kWhite));
  Rect hot = Caption(link, Look::Hot, u"Problems downloading?");
  hot.Offset(1, 1);
  EXPECT_EQ(Caption(link, Look::Pressed, u"Problems downloading?"), hot);
  EXPECT_EQ(linkHost.captures, 1) << "the parent's background is captured once";
  link.SetTransparent();
  DrawButton(link, Look::Normal, u"x");
  EXPECT_EQ(linkHost.captures, 2);
}

TEST(TorvinButton, HoverFollowsThePointerAndItsConditions) {
  test::FakeButtonHost host(nullptr, Point{});
  CTorvinButton b;
  b.SetHost(&host);
  b.SetSound(0, SoundSlot{u"enter.wav", 0, 0x20000});
  b.OnMouseMove(true, true, true);  // pressed elsewhere and dragged in: not hot
  EXPECT_FALSE(b.m_bHot);
  EXPECT_EQ(host.repaints, 0);
  b.OnMouseMove(false, true, true);
  EXPECT_TRUE(b.m_bHot);
  EXPECT_EQ(host.repaints, 1);
  EXPECT_EQ(host.leaveRequests, 1);
  EXPECT_EQ(host.sounds, std::vector<std::u16string>{u"enter.wav"});
  b.OnMouseMove(true, true, true);  // already hot: stays, nothing repeated
  EXPECT_EQ(host.repaints, 1);
  b.OnMouseMove(false, false, true);
  EXPECT_FALSE(b.m_bHot);
  EXPECT_EQ(host.repaints, 2);

  b.m_bTrackInactive = false;
  b.OnMouseMove(false, true, false);
  EXPECT_FALSE(b.m_bHot);
  b.OnMouseMove(false, true, true);
  EXPECT_TRUE(b.m_bHot);

  const std::function<void(CTorvinButton&)> leaves[] = {
      [](CTorvinButton& c) { c.OnMouseLeave(); }, [](CTorvinButton& c) { c.OnKillFocus(); },
      [](CTorvinButton& c) { c.OnActivate(true); }, [](CTorvinButton& c) { c.OnCancelMode(); },
      [](CTorvinButton& c) { c.OnEnable(false); }};
  for (const auto& leave : leaves) {
    b.OnMouseMove(false, true, true);
    ASSERT_TRUE(b.m_bHot);
    leave(b);
    EXPECT_FALSE(b.m_bHot);
  }
}

TEST(TorvinButton, StyleBitsDecideCheckBoxModeAndDefault) {
  struct Case {
    uint32_t type;
    bool checkBox, isDefault;
    uint32_t recorded;
  };
  const Case cases[] = {{0, false, false, 0},  {1, false, true, 0},  {2, true, false, 2},
                        {3, true, false, 3},   {6, true, false, 6},  {7, true, false, 7},
                        {10, true, false, 10}, {11, true, false, 11}};
  for (const Case& c : cases) {
    CTorvinButton b;
    const uint32_t style = b.PreSubclassWindow(0x50010000u | c.type);
    EXPECT_EQ(style & CTorvinButton::kTypeMask, CTorvinButton::kOwnerDraw);
    EXPECT_EQ(style & 0x50010000u, 0x50010000u);
    EXPECT_EQ(b.m_bCheckBox, c.checkBox) << c.type;
    EXPECT_EQ(b.m_bDefault, c.isDefault) << c.type;
    EXPECT_EQ(b.m_nButtonType, c.recorded) << c.type;
  }
  CTorvinButton b;
  EXPECT_EQ(b.OnButtonSetStyle(1) & CTorvinButton::kTypeMask, CTorvinButton::kOwnerDraw);
  EXPECT_TRUE(b.m_bDefault);
  EXPECT_EQ(b.OnGetDlgCode(0x100), 0x110u);
  b.OnButtonSetStyle(0);
  EXPECT_EQ(b.OnGetDlgCode(0), 32u);
  b.OnButtonSetCheck(1);  // a push button has no check
  EXPECT_EQ(b.OnButtonGetCheck(), 0);
}

TEST(TorvinButton, ImagePlacementForEachAlignment) {
  struct Case {
    uint8_t align;
    bool hasCaption, pressed;
    Rect place, caption;
  };
  const Rect item{0, 0, 100, 40};
  const Case cases[] = {
      {CTorvinButton::AlignImageLeft, true, false, {9, 15, 100, 40}, {29, 0, 100, 40}},
      {CTorvinButton::AlignImageLeft, false, false, {40, 15, 100, 40}, item},
      {CTorvinButton::AlignImageTop, true, false, {40, 9, 100, 40}, {0, 10, 100, 40}},
      {CTorvinButton::AlignImageRight, true, false, {71, 15, 100, 40}, {9, 0, 71, 40}},
      {CTorvinButton::AlignImageRight, false, false, {40, 0, 100, 40}, item},  // not centred vertically
      {CTorvinButton::AlignImageWhole, true, false, item, item},
      {7, true, true, {1, 1, 101, 41}, item},
  };
  for (const Case& c : cases) {
    CTorvinButton b;
    b.SetClientSize(Size{100, 40});
    b.m_nAlign = c.align;
    Rect caption = item;
    EXPECT_EQ(b.PlaceImage(item, caption, c.hasCaption, c.pressed, Size{20, 10}), c.place) << int(c.align);
    EXPECT_EQ(caption, c.caption) << int(c.align);
  }
}

TEST(TorvinButton, WithoutAnOutImageTheInImageShowsInEveryState) {
  CTorvinButton b;
  b.SetClientSize(Size{2, 2});
  Bitmap in(2, 2);
  in.SetPixel(0, 0, Rgb(1, 2, 3));
  b.SetImages(std::make_shared<Bitmap>(in), nullptr);
  b.SetTransparent();
  for (Look look : {Look::Normal, Look::Hot, Look::Pressed, Look::Focused}) {
    EXPECT_EQ(DrawButton(b, look, u"").GetPixel(0, 0), Rgb(1, 2, 3));
    EXPECT_EQ(b.ChooseSlot(true), 0);
  }
}

TEST(TorvinButton, AddressIsCutAndAClickInCheckBoxModeToggles) {
  CTorvinButton b;
  b.SetUrl(std::u16string(300, u'a'));
  EXPECT_EQ(b.m_szUrl.size(), 259u);
  EXPECT_EQ(b.OnReflectedClick(), std::u16string(259, u'a'));
  CTorvinButton box;
  box.PreSubclassWindow(3);
  EXPECT_EQ(box.OnReflectedClick(), u"");
  EXPECT_EQ(box.OnButtonGetCheck(), 1);
  box.OnReflectedClick();
  EXPECT_EQ(box.OnButtonGetCheck(), 0);
  box.OnButtonSetCheck(2);
  EXPECT_EQ(box.OnButtonGetCheck(), 1);
}

TEST(TorvinButton, OpaqueRaisedButtonDrawsFaceFrameAndFocus) {
  SystemColors system;
  CTorvinButton b(system);
  b.m_bFlat = false;
  b.SetClientSize(Size{20, 10});
  Bitmap surface(20, 10);
  DrawItemInfo item;
  item.rcItem = surface.Bounds();
  item.focus = true;
  b.DrawItem(surface, item);
  EXPECT_EQ(surface.GetPixel(0, 0), kBlack);               // focused: a black frame first
  EXPECT_EQ(surface.GetPixel(1, 1), system.btnHighlight);  // then the raised frame inside it
  EXPECT_EQ(surface.GetPixel(18, 8), system.darkShadow3d);
  EXPECT_EQ(surface.GetPixel(17, 7), system.btnShadow);
  EXPECT_EQ(surface.GetPixel(5, 4), system.btnFace);
  EXPECT_NE(surface.GetPixel(4, 4), system.btnFace);  // the dotted focus rectangle, 3 pixels inside
}

TEST(TorvinButton, DisabledImageAndCaptionAreEmbossed) {
  SystemColors system;
  CTorvinButton b(system);
  b.SetClientSize(Size{40, 20});
  Bitmap in(40, 20);  // of the button's size, so that the mask lines up with it unscaled
  Canvas canvas(in);
  canvas.FillSolidRect(in.Bounds(), Rgb(200, 0, 0));
  canvas.FillSolidRect(Rect{30, 0, 40, 20}, kWhite);
  in.SetPixel(0, 0, kImageKeyColor);  // transparent: white in the buffer, so not embossed
  b.SetImages(std::make_shared<Bitmap>(in), nullptr);
  Bitmap surface(40, 20);
  DrawItemInfo item;
  item.rcItem = surface.Bounds();
  item.disabled = true;
  b.DrawItem(surface, item);
  EXPECT_EQ(surface.GetPixel(0, 0), system.btnFace);
  EXPECT_EQ(surface.GetPixel(5, 5), system.btnShadow);
  EXPECT_EQ(surface.GetPixel(30, 5), system.btnHighlight);  // the relief one pixel down and right
  EXPECT_EQ(surface.GetPixel(35, 5), system.btnFace);

  b.SetImages(nullptr, nullptr);
  b.SetCaptionFont(u"Arial", 20, 0, false);
  item.caption = u"OK";
  Bitmap captioned(40, 20);
  b.DrawItem(captioned, item);
  EXPECT_TRUE(HasPixel(captioned, system.btnShadow));
  bool lighterThanFace = false;  // the highlight shows at the strokes' lower right edges
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 40; ++x)
      lighterThanFace |= RedOf(captioned.GetPixel(x, y)) > RedOf(system.btnFace);
  EXPECT_TRUE(lighterThanFace);
}

TEST(TorvinButton, IconSitsBesideTheCaptionThroughItsMask) {
  CTorvinButton b;
  b.SetClientSize(Size{60, 20});
  auto icon = std::make_shared<Bitmap>(4, 4);
  Canvas(*icon).FillSolidRect(icon->Bounds(), Rgb(0, 128, 0));
  auto mask = std::make_shared<Bitmap>(4, 4, BitmapKind::Mono);
  mask->SetPixel(3, 3, kWhite);
  b.SetIcons(IconSlot{icon, mask, 4, 4}, IconSlot{});
  Bitmap surface(60, 20);
  DrawItemInfo item;
  item.rcItem = surface.Bounds();
  item.caption = u"Go";
  b.DrawItem(surface, item);
  EXPECT_EQ(surface.GetPixel(9, 8), Rgb(0, 128, 0));  // image origin 9, centred vertically
  EXPECT_EQ(surface.GetPixel(12, 11), SystemColors{}.btnFace);
}

}  // namespace
}  // namespace ui
