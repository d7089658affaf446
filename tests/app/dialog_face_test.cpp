// The dialog's face and buttons as its own start-up sets them up, with the shipped skin in a
// scratch folder standing in for the executable's folder (start-up ends at the link check, after
// the layout and the buttons): the buttons' images and caption colours, the texts' colour, the
// percentage, the paint passes and the kept static face; what assistive technology is told; the
// focus cue, high contrast and still bands.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/installer_dialog.h"
#include "app/window_geometry.h"
#include "platform/text.h"
#if !defined(_WIN32)
#include "platform/posix/system_source.h"
#endif
#include "platform/utf.h"
#include "res/resource_ids.h"
#include "tests/support/fake_window_host.h"
#include "tests/support/temp_folder.h"
#include "ui/canvas.h"

namespace {

using testing_support::FakePresent;
using testing_support::FakeWindowHost;

constexpr ui::Color kLinkGrey = ui::Rgb(165, 165, 165);

bool HasPixel(const std::vector<ui::Color>& pixels, ui::Color color) {
  return std::find(pixels.begin(), pixels.end(), color) != pixels.end();
}

ui::Color ColorAt(const FakePresent& picture, int32_t x, int32_t y) {
  return ui::Bitmap::FromRaw(picture.At(x, y));
}

bool HasPixel(const FakePresent& picture, const ui::Rect& area, ui::Color color) {
  for (int32_t y = area.top; y < area.bottom; ++y)
    for (int32_t x = area.left; x < area.right; ++x)
      if (ColorAt(picture, x, y) == color) return true;
  return false;
}

bool HasPixel(const ui::Bitmap& bitmap, const ui::Rect& area, ui::Color color) {
  for (int32_t y = area.top; y < area.bottom; ++y)
    for (int32_t x = area.left; x < area.right; ++x)
      if (bitmap.GetPixel(x, y) == color) return true;
  return false;
}

class DialogFaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDownloadShared();
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(TORVIN_SOURCE_DIR) / "skin")) {
      if (entry.path().extension() == ".jpg")
        std::filesystem::copy_file(entry.path(), folder.Path() / entry.path().filename());
    }
#if !defined(_WIN32)
    platform::posix::SetSystemSource({platform::OsVersion{6, 1, 2}, platform::ARCHITECTURE_X64});
#endif
    // Whichever system this is, its entry's link never parses.
    const std::string neverParses = "http://" + std::string(2100, 'h') + ".example/setup.exe";
    std::string entries;
    for (const char* os : {"Windows XP", "Windows Vista", "Windows 7", "Windows 8"}) {
      entries += std::string("<installerInfo default=\"YES\"><os>") + os + "</os><bit>64</bit><rlink>" +
                 neverParses + "</rlink></installerInfo>";
    }
    folder.Write("TorvinWebInstaller.xml",
                 "<torvinwebinstaller><product><name>Plantyx Setup</name><registry></registry>" + entries +
                     "</product></torvinwebinstaller>");
    moduleDir = platform::FromUtf8(folder.Path().string());
    host.controls[IDC_BTN_PROBLEM_LINK].rect = {0, 0, 221, 28};  // the template's size of the link
    dialog.m_strModuleDir = moduleDir;
    host.Open(dialog);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    ASSERT_EQ(host.messageBoxes[0].text, u"Unrecognized URL");
    skin = ui::LoadSkinImages(moduleDir);
    ASSERT_FALSE(skin.cancelNormal.Empty());
    host.presented.clear();
  }

#if !defined(_WIN32)
  void TearDown() override { platform::posix::ResetSystemSource(); }
#endif

  // The button's colours as drawn with the pointer over it or elsewhere, pressed or not.
  std::vector<ui::Color> DrawButton(int id, bool hot, bool pressed = false) {
    platform::IButtonEvents& events = *host.controls[id].events;
    events.OnMouseMove({hot, false, true});
    const platform::PixelView view = events.DrawItem({pressed, false, false});
    std::vector<ui::Color> colors;
    for (int32_t y = 0; y < view.height; ++y)
      for (int32_t x = 0; x < view.width; ++x)
        colors.push_back(ui::Bitmap::FromRaw(view.pixels[y * view.stride + x]));
    return colors;
  }

  // Where the caption's pixels are: the difference to the same look without a caption.
  ui::Rect CaptionBox(int id, bool hot, bool pressed) {
    const std::vector<ui::Color> with = DrawButton(id, hot, pressed);
    const std::u16string caption = std::exchange(host.controls[id].text, u"");
    const std::vector<ui::Color> without = DrawButton(id, hot, pressed);
    host.controls[id].text = caption;
    const int32_t width = host.controls[id].rect.Width();
    ui::Rect box{width, static_cast<int32_t>(with.size()) / width, 0, 0};
    for (size_t i = 0; i < with.size(); ++i) {
      if (with[i] == without[i]) continue;
      const int32_t x = static_cast<int32_t>(i) % width, y = static_cast<int32_t>(i) / width;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
             std::max(box.bottom, y + 1)};
    }
    return box;
  }

  TempFolder folder;
  std::u16string moduleDir;
  FakeWindowHost host;
  CTorvinWebInstallerDlg dialog;
  ui::SkinImages skin;
};

TEST_F(DialogFaceTest, ButtonsShowTheirImagesAndCaptionColoursInEachState) {
  const ui::Bitmap& normalImage = skin.cancelNormal;
  const ui::Bitmap& hotImage = skin.cancelHot;
  ASSERT_NE(normalImage.GetPixel(3, 3), hotImage.GetPixel(3, 3));
  EXPECT_EQ(host.controls[IDC_BTN_CANCEL].rect.Width(), normalImage.Width());
  const int32_t width = normalImage.Width();
  const std::vector<ui::Color> normal = DrawButton(IDC_BTN_CANCEL, false);
  const std::vector<ui::Color> hot = DrawButton(IDC_BTN_CANCEL, true);
  const std::vector<ui::Color> pressed = DrawButton(IDC_BTN_CANCEL, true, true);
  EXPECT_EQ(normal[3 * width + 3], normalImage.GetPixel(3, 3));
  EXPECT_EQ(hot[3 * width + 3], hotImage.GetPixel(3, 3));
  EXPECT_EQ(pressed[3 * width + 3], hotImage.GetPixel(3, 3));
  for (const auto* look : {&normal, &hot, &pressed}) EXPECT_TRUE(HasPixel(*look, ui::kWhite));

  const std::vector<ui::Color> link = DrawButton(IDC_BTN_PROBLEM_LINK, false);
  EXPECT_TRUE(HasPixel(link, kLinkGrey));
  EXPECT_FALSE(HasPixel(link, ui::kWhite));
  const std::vector<ui::Color> linkHot = DrawButton(IDC_BTN_PROBLEM_LINK, true);
  EXPECT_TRUE(HasPixel(linkHot, ui::kWhite));
  EXPECT_FALSE(HasPixel(linkHot, kLinkGrey));
}

// Pressing moves a caption by the press offset; once the user confirmed the cancellation the
// Cancel button shows its disabled image and a grey caption that no longer moves.
TEST_F(DialogFaceTest, PressedCaptionsMoveUntilTheCancellationIsConfirmed) {
  for (const int id : {IDC_BTN_CANCEL, IDC_BTN_PROBLEM_LINK}) {
    ui::Rect hot = CaptionBox(id, true, false);
    hot.Offset(1, 1);
    EXPECT_EQ(CaptionBox(id, true, true), hot) << id;
  }

  host.answers.push_back(platform::MessageBoxAnswer::Yes);
  dialog.OnCancelClicked();
  const int32_t width = skin.cancelDisabled.Width();
  for (const bool hot : {false, true}) {
    const std::vector<ui::Color> look = DrawButton(IDC_BTN_CANCEL, hot);
    EXPECT_EQ(look[3 * width + 3], skin.cancelDisabled.GetPixel(3, 3));
    EXPECT_TRUE(HasPixel(look, ui::Rgb(133, 133, 133)));
    EXPECT_FALSE(HasPixel(look, ui::kWhite));
  }
  EXPECT_EQ(CaptionBox(IDC_BTN_CANCEL, true, true), CaptionBox(IDC_BTN_CANCEL, false, false));
}

TEST_F(DialogFaceTest, TitleHeadingAndStatusAreWhite) {
  const ui::Layout& layout = dialog.m_layout;
  ASSERT_FALSE(HasPixel(skin.background, layout.rcTitle, ui::kWhite));
  ASSERT_FALSE(HasPixel(skin.background, layout.rcHeading, ui::kWhite));
  ASSERT_FALSE(HasPixel(skin.statusBack, skin.statusBack.Bounds(), ui::kWhite));
  dialog.OnEraseBkgnd();
  ASSERT_EQ(host.presented.size(), 1u);
  EXPECT_TRUE(HasPixel(host.presented[0], layout.rcTitle, ui::kWhite));
  EXPECT_TRUE(HasPixel(host.presented[0], layout.rcHeading, ui::kWhite));

  dialog.ShowStatus(STATUS_DOWNLOADING);
  host.PumpPaints();
  ASSERT_EQ(host.presented.size(), 2u);
  EXPECT_EQ(host.presented[1].rect, ToWindowRect(layout.rcStatus));
  EXPECT_TRUE(
      HasPixel(host.presented[1], {0, 0, layout.rcStatus.Width(), layout.rcStatus.Height()}, ui::kWhite));
}

// A progress change paints the strip before it returns, alone; the status line follows in the
// next paint. The strip starts with the tile the shared counter names and shows "47%".
TEST_F(DialogFaceTest, AProgressPaintShowsTheStripThenTheStatusLine) {
  dialog.m_ullTotalBytes = 100;
  dialog.m_strStatusText = u"Downloading...";
  const int32_t phase = ui::s_nBarPhase;
  dialog.ShowProgress(47);
  ASSERT_EQ(host.presented.size(), 1u);
  const FakePresent& strip = host.presented[0];
  EXPECT_EQ(strip.rect, ToWindowRect(ui::ProgressStripRect(dialog.m_layout)));
  EXPECT_EQ(ui::s_nBarPhase, (phase + 1) % 3);
  const ui::Bitmap& tile = dialog.m_bmpBarFrames[static_cast<size_t>(phase)];
  for (int32_t y = 0; y < tile.Height(); ++y)
    for (int32_t x = 0; x < tile.Width(); ++x)
      ASSERT_EQ(ColorAt(strip, 1 + x, y), tile.GetPixel(x, y)) << x << "," << y;

  const ui::Rect box{strip.rect.Width() - 50, 0, strip.rect.Width() - 5, strip.rect.Height()};
  ui::Bitmap expected(strip.rect.Width(), strip.rect.Height());
  ui::Canvas canvas(expected);
  canvas.FillSolidRect(expected.Bounds(), ui::kPercentBoxColor);
  canvas.SetTextColor(ui::kWhite);
  canvas.RenderText(platform::Font({u"Arial", 16, 8, 7, false}), u"47%", box,
                    platform::kTextCenter | platform::kTextTop);
  for (int32_t y = box.top; y < box.bottom; ++y)
    for (int32_t x = box.left; x < box.right; ++x)
      ASSERT_EQ(ColorAt(strip, x, y), expected.GetPixel(x, y)) << x << "," << y;

  dialog.OnPaint();
  ASSERT_EQ(host.presented.size(), 2u);
  EXPECT_EQ(host.presented[1].rect, ToWindowRect(dialog.m_layout.rcStatus));
  dialog.OnPaint();
  EXPECT_EQ(host.presented.size(), 2u);
}

// Erasing presents the kept face; it is composed again only when something on it changed.
TEST_F(DialogFaceTest, TheStaticFaceIsComposedOnlyWhenItChanges) {
  dialog.OnEraseBkgnd();
  DrawButton(IDC_BTN_PROBLEM_LINK, false);  // the buttons take their background from the same face
  dialog.OnEraseBkgnd();
  ASSERT_EQ(host.presented.size(), 2u);
  EXPECT_EQ(host.presented[1].source, host.presented[0].source);

  dialog.m_config.strProductName = u"Plantyx Studio";
  dialog.OnEraseBkgnd();
  ASSERT_EQ(host.presented.size(), 3u);
  EXPECT_NE(host.presented[2].pixels, host.presented[0].pixels);

  host.windowRect.right -= 10;
  dialog.OnEraseBkgnd();
  EXPECT_EQ(host.presented[3].rect.Width(), host.presented[0].rect.Width() - 10);
}

}  // namespace

// What assistive technology reads: the window under the product's name (its own text too), the
// bar's whole percent, the status text, Cancel and the link with their captions; a confirmed
// cancellation makes Cancel unavailable and takes it out of the tab order.
TEST_F(DialogFaceTest, TheDescriptionFollowsTheFace) {
  EXPECT_EQ(host.title, u"Plantyx Setup");
  dialog.m_ullTotalBytes = 200;
  dialog.ShowStatus(STATUS_DOWNLOADING);
  dialog.ShowProgress(95);
  platform::AccessibleFace face = dialog.DescribeFace();
  EXPECT_EQ(face.window.role, platform::AccessibleRole::Dialog);
  EXPECT_EQ(face.window.name, u"Plantyx Setup");
  const platform::AccessibleItem& progress = face.parts[platform::kAccessibleProgress];
  EXPECT_EQ(progress.role, platform::AccessibleRole::ProgressBar);
  EXPECT_EQ(progress.value, u"47%");
  const platform::AccessibleItem& status = face.parts[platform::kAccessibleStatus];
  EXPECT_EQ(status.role, platform::AccessibleRole::StaticText);
  EXPECT_EQ(status.name, dialog.m_strStatusText);
  EXPECT_EQ(status.rect, ToWindowRect(dialog.m_layout.rcStatus));
  const platform::AccessibleItem& cancel = face.parts[platform::kAccessibleCancel];
  EXPECT_EQ(cancel.role, platform::AccessibleRole::PushButton);
  EXPECT_EQ(cancel.name, u"Cancel");
  EXPECT_EQ(cancel.defaultAction, u"Press");
  EXPECT_EQ(cancel.controlId, IDC_BTN_CANCEL);
  EXPECT_TRUE(cancel.focusable);
  EXPECT_FALSE(cancel.unavailable);
  const platform::AccessibleItem& link = face.parts[platform::kAccessibleLink];
  EXPECT_EQ(link.role, platform::AccessibleRole::Link);
  EXPECT_EQ(link.name, host.controls[IDC_BTN_PROBLEM_LINK].text);
  EXPECT_EQ(link.value, dialog.m_btnProblemLink.m_szUrl);
  EXPECT_FALSE(link.value.empty());

  dialog.ShowProgress(200);
  EXPECT_EQ(dialog.DescribeFace().parts[platform::kAccessibleProgress].value, u"100%");

  host.answers.push_back(platform::MessageBoxAnswer::Yes);
  dialog.OnCancelClicked();
  face = dialog.DescribeFace();
  EXPECT_TRUE(face.parts[platform::kAccessibleCancel].unavailable);
  EXPECT_FALSE(face.parts[platform::kAccessibleCancel].focusable);
  EXPECT_FALSE(host.controls[IDC_BTN_CANCEL].tabStop);
  EXPECT_EQ(host.accessibleChanges.back(),
            std::make_pair(platform::kAccessibleCancel, platform::AccessibleChange::State));
}

// A new status text is announced once; the value once per new whole percent, however many
// progress paints show it.
TEST_F(DialogFaceTest, ChangesAreAnnouncedOncePerNewTextOrWholePercent) {
  using Change = std::pair<platform::AccessiblePart, platform::AccessibleChange>;
  const Change name{platform::kAccessibleStatus, platform::AccessibleChange::Name};
  const Change value{platform::kAccessibleProgress, platform::AccessibleChange::Value};
  host.accessibleChanges.clear();
  dialog.m_ullTotalBytes = 1000;
  dialog.ShowStatus(STATUS_DOWNLOADING);
  dialog.ShowStatus(STATUS_DOWNLOADING);
  for (uint64_t received : {470, 471, 479, 480, 480}) dialog.ShowProgress(received);
  dialog.ShowStatus(STATUS_DOWNLOAD_FAILED);
  EXPECT_EQ(host.accessibleChanges, (std::vector<Change>{name, value, value, name}));
}

// Focus cues show only once the keyboard has been used; the ring is the only difference.
TEST_F(DialogFaceTest, TheFocusCueShowsOnlyWithFocusCues) {
  for (const int id : {IDC_BTN_CANCEL, IDC_BTN_PROBLEM_LINK}) {
    platform::IButtonEvents& events = *host.controls[id].events;
    const auto draw = [&](bool focused, bool cues) {
      const platform::PixelView view = events.DrawItem({false, focused, false, cues});
      return std::vector<uint32_t>(view.pixels, view.pixels + view.stride * view.height);
    };
    const std::vector<uint32_t> plain = draw(false, false);
    EXPECT_EQ(draw(true, false), plain) << id;
    EXPECT_EQ(draw(false, true), plain) << id;
    const std::vector<uint32_t> ring = draw(true, true);
    const int32_t width = host.controls[id].rect.Width();
    EXPECT_EQ(ui::Bitmap::FromRaw(ring[2 * width + width / 2]), ui::kWhite) << id;
    EXPECT_EQ(ui::Bitmap::FromRaw(ring[3 * width + width / 2]), ui::kBlack) << id;
  }
}

// High contrast switched on while the window is open: everything is painted again in the system's
// colours, without the skin's images, with a frame; switched off, the skin's face is back, pixel
// for pixel.
TEST_F(DialogFaceTest, HighContrastPaintsTheSystemsColoursAndSwitchingBackRestoresTheSkin) {
  const ui::Layout& layout = dialog.m_layout;
  dialog.OnEraseBkgnd();
  const std::vector<ui::Color> cancelBefore = DrawButton(IDC_BTN_CANCEL, false);
  platform::SystemLook::Colors& colors = host.look.colors;
  colors = {ui::Rgb(0, 0, 64), ui::Rgb(255, 255, 0), ui::Rgb(0, 200, 0), ui::Rgb(0, 0, 0),
            ui::Rgb(30, 30, 30), ui::Rgb(250, 250, 250), ui::Rgb(128, 128, 128)};
  host.look.highContrast = true;
  dialog.OnSystemLookChanged();
  EXPECT_EQ(host.redrawsAll, 1);
  dialog.OnEraseBkgnd();
  const FakePresent& contrast = host.presented.back();
  EXPECT_EQ(ColorAt(contrast, 0, 0), colors.windowText);
  EXPECT_EQ(ColorAt(contrast, 5, layout.rcBar.top - 5), colors.window);
  EXPECT_TRUE(HasPixel(contrast, layout.rcTitle, colors.windowText));
  const std::vector<ui::Color> cancel = DrawButton(IDC_BTN_CANCEL, false);
  EXPECT_EQ(cancel[static_cast<size_t>(3 * host.controls[IDC_BTN_CANCEL].rect.Width() + 3)], colors.buttonFace);
  EXPECT_TRUE(HasPixel(cancel, colors.buttonText));
  dialog.m_ullTotalBytes = 100;
  dialog.ShowProgress(47);
  EXPECT_EQ(ColorAt(host.presented.back(), 10, 5), colors.highlight);

  host.look.highContrast = false;
  dialog.OnSystemLookChanged();
  host.presented.clear();
  dialog.OnEraseBkgnd();
  const FakePresent& skinFace = host.presented.back();
  for (int32_t x = 0; x < skinFace.rect.Width(); x += 7)
    EXPECT_EQ(ColorAt(skinFace, x, 0), skin.background.GetPixel(x, 0)) << x;
  EXPECT_EQ(DrawButton(IDC_BTN_CANCEL, false), cancelBefore);
}

// With animations off, every progress paint starts with the same tile.
TEST_F(DialogFaceTest, BandsStandStillWhileAnimationsAreOff) {
  host.look.animations = false;
  dialog.OnSystemLookChanged();
  dialog.m_ullTotalBytes = 100;
  const int32_t phase = ui::s_nBarPhase;
  dialog.ShowProgress(10);
  const uint32_t first = host.presented.back().At(1, 1);
  dialog.ShowProgress(20);
  EXPECT_EQ(ui::s_nBarPhase, phase);
  EXPECT_EQ(host.presented.back().At(1, 1), first);
}
