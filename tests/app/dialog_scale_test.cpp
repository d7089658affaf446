// The dialog at the display's scale on a fake window host, with the shipped skin in a scratch
// folder: the window's size and place, the buttons and the layout at the DPI the host reports, and
// the rescaling when the window moves to a monitor of another DPI.
// Natively only, like the other start-up tests; under Wine the end-to-end runs cover the scales.
#if !defined(_WIN32)
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/installer_dialog.h"
#include "app/window_geometry.h"
#include "platform/image.h"
#include "platform/posix/system_source.h"
#include "platform/utf.h"
#include "res/resource_ids.h"
#include "tests/support/fake_window_host.h"
#include "tests/support/temp_folder.h"

namespace {

using testing_support::FakeWindowHost;

// The shipped skin is 600 x 330 with a 110 x 34 Cancel image; the link's template is 221 x 28 at 96 DPI.
constexpr platform::Size kDesignWindow{600, 330};

class DialogScaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDownloadShared();
    platform::posix::SetSystemSource({platform::OsVersion{6, 1, 2}, platform::ARCHITECTURE_X64});
    for (const auto& entry : std::filesystem::directory_iterator(TORVIN_SOURCE_DIR "/skin"))
      if (entry.path().extension() == ".jpg")
        std::filesystem::copy_file(entry.path(), folder / entry.path().filename().string());
    // A link that never parses: start-up goes through sizing, layout and buttons, then ends before
    // any download, so that no engine runs under the test.
    folder.Write(
        "TorvinWebInstaller.xml",
        "<?xml version=\"1.0\"?><torvinwebinstaller><product><name>Plantyx Setup</name><registry></registry>"
        "<installerInfo default=\"YES\"><os>Windows 7</os><bit>64</bit><rlink>http://" +
            std::string(2100, 'h') + ".example/x.exe</rlink></installerInfo></product></torvinwebinstaller>");
  }
  void TearDown() override { platform::posix::ResetSystemSource(); }

  // Opens a new dialog as the system would make it at `dpi`: the link's template size already scaled.
  void OpenAt(int32_t dpi, platform::Rect workArea = {0, 0, 1920, 1040}) {
    dialog = std::make_unique<CTorvinWebInstallerDlg>();
    host = std::make_unique<FakeWindowHost>();
    dialog->m_strModuleDir = platform::FromUtf8(folder.Path().string());
    host->dpi = dpi;
    host->workArea = workArea;
    const ui::DisplayScale scale = ui::DisplayScale::FromDpi(dpi);
    host->controls[IDC_BTN_PROBLEM_LINK].rect = {0, 0, scale.Px(221), scale.Px(28)};
    host->Open(*dialog);
    ASSERT_EQ(host->messageBoxes.size(), 1u);  // "Unrecognized URL", after the layout
  }

  // Everything that follows from the scale, checked against the design sizes.
  void ExpectFaceAt(double factor) {
    const ui::DisplayScale s{factor};
    EXPECT_EQ(host->windowRect.Width(), s.Px(kDesignWindow.width)) << factor;
    EXPECT_EQ(host->windowRect.Height(), s.Px(kDesignWindow.height)) << factor;
    const platform::Rect cancel = host->controls[IDC_BTN_CANCEL].rect;
    EXPECT_EQ(cancel.Width(), s.Px(110)) << factor;
    EXPECT_EQ(cancel.right, host->windowRect.Width() - s.Px(20)) << factor;
    EXPECT_EQ(cancel.bottom, host->windowRect.Height() - s.Px(30)) << factor;
    const platform::Rect link = host->controls[IDC_BTN_PROBLEM_LINK].rect;
    EXPECT_EQ(link.Width(), s.Px(221)) << factor;
    EXPECT_EQ(link.right, host->windowRect.Width() - cancel.Width() - s.Px(38)) << factor;
    EXPECT_EQ(link.bottom, host->windowRect.Height() - s.Px(24)) << factor;
    EXPECT_EQ(dialog->m_layout.rcBar, s.Of(ui::Rect{95, 135, 540, 149})) << factor;
    EXPECT_EQ(dialog->m_skin.background.Extent(), s.Of(ui::Size{600, 330})) << factor;
    EXPECT_EQ(dialog->m_bmpBarFrames[0].Extent(), s.Of(ui::Size{6, 14})) << factor;
    // The Cancel images the button shows are the scaled ones, at its size.
    ASSERT_TRUE(dialog->m_btnCancel.m_images[0].image) << factor;
    EXPECT_EQ(dialog->m_btnCancel.m_images[0].image->Extent(), s.Of(ui::Size{110, 34})) << factor;
  }

  TempFolder folder;
  std::unique_ptr<FakeWindowHost> host;
  std::unique_ptr<CTorvinWebInstallerDlg> dialog;  // declared last: it goes first
};

TEST_F(DialogScaleTest, EachScaleSizesTheWindowButtonsLayoutAndImages) {
  for (const auto& [dpi, factor] : {std::pair{96, 1.0}, std::pair{144, 1.5}, std::pair{192, 2.0}}) {
    OpenAt(dpi);
    ExpectFaceAt(factor);
  }
}

TEST_F(DialogScaleTest, TheWindowOpensCentredOnTheWorkAreaUnderThePointerAndWhollyOnIt) {
  OpenAt(96, {1920, 40, 3840, 1080});  // a second monitor, its taskbar along the top
  EXPECT_EQ(host->windowRect, (platform::Rect{1920 + 660, 40 + 355, 1920 + 660 + 600, 40 + 355 + 330}));

  const platform::Rect small{-800, 0, 0, 600};  // a monitor left of the primary, smaller than the window
  EXPECT_EQ(CentredIn({1200, 660}, small), (platform::Rect{-800, 0, 400, 660}));
}

TEST_F(DialogScaleTest, OpeningOnAPointersMonitorOfAnotherDpiScalesToItBeforeTheButtonsAreSetUp) {
  // The window is made at 96 DPI on the primary monitor; centring it on the pointer's monitor at
  // 192 DPI rescales it on the way, as the system reports it.
  const platform::Rect second{1920, 0, 4480, 1400};
  dialog = std::make_unique<CTorvinWebInstallerDlg>();
  host = std::make_unique<FakeWindowHost>();
  dialog->m_strModuleDir = platform::FromUtf8(folder.Path().string());
  host->workArea = second;
  host->controls[IDC_BTN_PROBLEM_LINK].rect = {0, 0, 221, 28};
  host->onMove = [&](const platform::Rect& at) {
    if (host->dpi == 96 && at.left >= second.left) {
      host->dpi = 192;
      dialog->OnDpiChanged(192, {at.left, at.top, at.left + 2 * at.Width(), at.top + 2 * at.Height()});
    }
  };
  host->Open(*dialog);
  ExpectFaceAt(2.0);
  EXPECT_EQ(host->windowRect, CentredIn({1200, 660}, second));
}

TEST_F(DialogScaleTest, MovingToAnotherDpiRescalesEverythingAtTheSuggestedPlace) {
  OpenAt(192);
  dialog->OnDpiChanged(144, {300, 200, 300 + 901, 200 + 494});  // the old size scaled, a pixel off
  EXPECT_EQ(host->windowRect.left, 300);
  EXPECT_EQ(host->windowRect.top, 200);
  ExpectFaceAt(1.5);
  EXPECT_GT(host->queuedPaints, 0);  // the status line is painted again

  // After a confirmed cancellation the button keeps its cancelled look at the new scale.
  dialog->m_bCancelConfirmed = true;
  dialog->OnDpiChanged(96, {0, 0, 600, 330});
  ExpectFaceAt(1.0);
  const ui::Bitmap disabled = platform::LoadImageFile(dialog->m_strModuleDir + u"\\Cancel_D.jpg");
  EXPECT_EQ(dialog->m_btnCancel.m_images[0].image->GetPixel(5, 5), disabled.GetPixel(5, 5));
  EXPECT_EQ(dialog->m_btnCancel.m_images[1].image, dialog->m_btnCancel.m_images[0].image);
}

}  // namespace
#endif
