// The install flow on a fake window host: what each polling tick shows, the progress that never
// goes back, the launch on the second tick of state 8, and the cancel question.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/installer_dialog.h"
#include "app/window_geometry.h"
#include "download/installer_hold.h"
#include "platform/file.h"
#include "platform/utf.h"
#include "res/resource_ids.h"
#include "tests/support/fake_window_host.h"
#include "tests/support/temp_folder.h"

namespace {

using platform::MessageBoxAnswer;
using testing_support::FakeWindowHost;

class InstallFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDownloadShared();
    host.Attach(dialog);
    dialog.DoDataExchange();
    dialog.m_layout = ui::ComputeLayout({596, 325}, ui::Bitmap(6, 14), ui::Bitmap(300, 20));
    dialog.m_bEngineStarted = true;
  }

  void TearDown() override { ReleaseVerifiedInstaller(); }

  // A program written as the engine writes one and held as its checks leave it, under `name` in
  // `folder`: returns its path.
  std::u16string HoldCheckedInstaller(const TempFolder& folder, const char* name) {
    const std::u16string path = platform::FromUtf8((folder / name).string());
    std::string program(0x44, '\0');
    program.replace(0, 2, "MZ");
    program[0x3C] = 0x40;
    program.replace(0x40, 4, std::string("PE\0\0", 4));
    platform::File written;
    EXPECT_TRUE(written.CreateExclusive(path + u".partial"));
    EXPECT_TRUE(written.WriteAt(0, program.data(), program.size()));
    EXPECT_EQ(VerifyDownloadedInstaller(written, path, {}), STATUS_DOWNLOADDONE);
    return path;
  }

  void Publish(int32_t state, uint64_t received = 0, uint64_t total = 0) {
    PublishStatus(DownloadStatus{state, received, total});
  }
  bool Tick() { return host.Tick(IDT_STATUS_POLL); }

  FakeWindowHost host;
  CTorvinWebInstallerDlg dialog;
};

TEST_F(InstallFlowTest, FirstTickShowsInitializingBeforeTheEngineWroteAnything) {
  Publish(STATUS_INIT);
  host.timers[IDT_STATUS_POLL] = 250;
  ASSERT_TRUE(Tick());
  EXPECT_EQ(dialog.m_strStatusText, u"Initializing...");
  EXPECT_EQ(dialog.m_nLastState, STATUS_INIT);
  EXPECT_EQ(host.timers.at(IDT_STATUS_POLL), 250u);
  EXPECT_EQ(host.queuedPaints, 1);  // the status repaint is queued
  EXPECT_EQ(host.sentPaints, 0);    // no bytes yet: no progress paint
  EXPECT_EQ(host.invalidated.back(), ToWindowRect(dialog.m_layout.rcStatus));
}

TEST_F(InstallFlowTest, EveryTickWithBytesPaintsTheProgressTwiceAndNeverGoesBack) {
  host.timers[IDT_STATUS_POLL] = 250;
  Publish(STATUS_DOWNLOADING, 5'000'000, 10'000'000);
  Tick();
  EXPECT_EQ(dialog.m_ullShownBytes, 5'000'000u);
  EXPECT_EQ(dialog.m_ullTotalBytes, 10'000'000u);
  EXPECT_EQ(host.sentPaints, 2);

  Tick();  // nothing changed: still two paints
  EXPECT_EQ(host.sentPaints, 4);

  Publish(STATUS_DOWNLOADING, 1'000, 10'000'000);
  Tick();  // a smaller count is not shown
  EXPECT_EQ(dialog.m_ullShownBytes, 5'000'000u);
  EXPECT_EQ(host.sentPaints, 4);
  EXPECT_EQ(dialog.m_strStatusText, u"Downloading...");

  Publish(STATUS_RECONNECTING, 5'000'000, 10'000'000);
  Tick();  // a wait to reconnect keeps the bar where it is
  EXPECT_EQ(dialog.m_strStatusText, u"Reconnecting...");
  EXPECT_EQ(dialog.m_ullShownBytes, 5'000'000u);

  StoreStartedOver(12'000'000);  // the file changed on the server
  {
    std::lock_guard lock(StatusLock);
    SharedStatus.received = 1'000;
  }
  Tick();  // only a new start from byte 0 takes the bar back
  EXPECT_EQ(dialog.m_ullShownBytes, 1'000u);
  EXPECT_EQ(dialog.m_ullTotalBytes, 12'000'000u);
  EXPECT_EQ(dialog.m_strStatusText, u"Downloading...");
}

TEST_F(InstallFlowTest, TheLaunchWaitsForTheSecondTickOfStatePrepare) {
  const TempFolder folder;
  const std::u16string path = HoldCheckedInstaller(folder, "Product.exe");
  host.timers[IDT_STATUS_POLL] = 250;
  Publish(STATUS_PREPARE_INSTALL, 100, 100);
  Tick();
  EXPECT_EQ(dialog.m_strStatusText, u"Preparing installation...");
  EXPECT_FALSE(host.endResult);
  EXPECT_TRUE(host.timers.contains(IDT_STATUS_POLL));
  EXPECT_TRUE(host.launched.empty());
  // The file is held from its checks until the launch has returned: nobody can remove or replace
  // it while the launch runs, and it is free again afterwards.
  bool heldDuringLaunch = false;
  host.onLaunch = [&] { heldDuringLaunch = !platform::RemoveFile(path) && std::filesystem::exists(folder / "Product.exe"); };
  Tick();
  ASSERT_EQ(host.launched.size(), 1u);
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(host.launched[0]), folder / "Product.exe"));
  EXPECT_TRUE(heldDuringLaunch);
  EXPECT_TRUE(platform::RemoveFile(path));
  EXPECT_EQ(host.endResult, platform::kResultCancel);
  EXPECT_FALSE(host.timers.contains(IDT_STATUS_POLL));
}

// A launch the system refused is a failure the user sees, not a silent end.
TEST_F(InstallFlowTest, ALaunchThatFailsShowsTheFailureThenEnds) {
  const TempFolder folder;
  HoldCheckedInstaller(folder, "Product.exe");
  host.timers[IDT_STATUS_POLL] = 250;
  host.launchStarts = false;
  Publish(STATUS_PREPARE_INSTALL, 100, 100);
  Tick();
  ASSERT_TRUE(Tick());
  EXPECT_EQ(host.launched.size(), 1u);
  EXPECT_EQ(dialog.m_strStatusText, u"Download failed.");
  EXPECT_EQ(host.taskbar.back().state, platform::TaskbarProgress::Error);
  EXPECT_FALSE(host.endResult);
  for (int i = 0; i < 20 && !host.endResult; ++i) {
    Tick();
    if (!host.endResult) {
      EXPECT_EQ(dialog.m_strStatusText, u"Download failed.");
    }
  }
  EXPECT_EQ(host.endResult, platform::kResultCancel);
  EXPECT_EQ(host.launched.size(), 1u) << "a failed launch is not tried again";
}

// The question's own message loop keeps the timer running while the worker moves from "completed"
// to "preparing": those ticks may neither launch nor end, so that the answer still counts.
class CancelQuestionTest : public InstallFlowTest, public ::testing::WithParamInterface<MessageBoxAnswer> {};

TEST_P(CancelQuestionTest, TicksWhileTheQuestionIsOpenNeitherLaunchNorEnd) {
  const TempFolder folder;  // each answer its own, as the cases may run side by side
  HoldCheckedInstaller(folder, "Asked.exe");
  const auto file = folder / "Asked.exe";
  host.timers[IDT_STATUS_POLL] = 250;
  Publish(STATUS_DOWNLOADDONE, 100, 100);
  Tick();
  host.onMessageBox = [&] {
    Publish(STATUS_PREPARE_INSTALL, 100, 100);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Tick());
    EXPECT_EQ(dialog.m_strStatusText, u"Preparing installation...");
  };
  host.answers.push_back(GetParam());
  dialog.OnCancelClicked();
  EXPECT_TRUE(host.launched.empty());
  EXPECT_FALSE(host.endResult);

  Tick();
  Tick();
  EXPECT_EQ(host.endResult, platform::kResultCancel);
  if (GetParam() == MessageBoxAnswer::Yes) {
    EXPECT_TRUE(host.launched.empty());
    EXPECT_FALSE(std::filesystem::exists(file));
  } else {
    EXPECT_EQ(host.launched.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(file));
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, CancelQuestionTest,
                         ::testing::Values(MessageBoxAnswer::Yes, MessageBoxAnswer::No));

// A failure that ends while the question is open still waits for the answer.
TEST_F(InstallFlowTest, TheEndOfAFailureWaitsForTheCancelAnswer) {
  host.timers[IDT_STATUS_POLL] = 250;
  host.onMessageBox = [&] {
    Publish(STATUS_FINISHED);
    Tick();
    EXPECT_FALSE(host.endResult);
  };
  host.answers.push_back(MessageBoxAnswer::No);
  dialog.OnCancelClicked();
  Tick();
  EXPECT_EQ(host.endResult, platform::kResultCancel);
}

TEST_F(InstallFlowTest, TheTaskbarButtonFollowsTheDownload) {
  using platform::TaskbarProgress;
  const auto last = [&] { return host.taskbar.back(); };
  host.timers[IDT_STATUS_POLL] = 250;
  Publish(STATUS_INIT);
  Tick();
  EXPECT_EQ(last().state, TaskbarProgress::Indeterminate);
  Publish(STATUS_DOWNLOADING, 47, 100);
  Tick();
  EXPECT_EQ(last().state, TaskbarProgress::Normal);
  EXPECT_EQ(last().completed, 47u);
  EXPECT_EQ(last().total, 100u);

  bool pausedWhileAsking = false;
  host.onMessageBox = [&] {
    Publish(STATUS_DOWNLOADING, 50, 100);
    Tick();  // a tick meanwhile keeps the pause
    pausedWhileAsking = last().state == TaskbarProgress::Paused && last().completed == 47u;
  };
  host.answers.push_back(MessageBoxAnswer::No);
  dialog.OnCancelClicked();
  EXPECT_TRUE(pausedWhileAsking);
  Tick();
  EXPECT_EQ(last().state, TaskbarProgress::Normal);
  EXPECT_EQ(last().completed, 50u);

  Publish(STATUS_DOWNLOAD_FAILED, 50, 100);
  Tick();
  EXPECT_EQ(last().state, TaskbarProgress::Error);
  Publish(STATUS_FINISHED);
  Tick();
  EXPECT_EQ(last().state, TaskbarProgress::None);
  EXPECT_EQ(host.endResult, platform::kResultCancel);
}

TEST_F(InstallFlowTest, TheFailureTextIsSetOnEveryTickUntilTheEngineFinishes) {
  host.timers[IDT_STATUS_POLL] = 250;
  Publish(STATUS_DOWNLOAD_FAILED);
  Tick();
  EXPECT_EQ(dialog.m_strStatusText, u"Download failed.");
  for (int i = 0; i < 3; ++i) {
    const int paintsBefore = host.queuedPaints;
    dialog.m_strStatusText.clear();
    Tick();
    EXPECT_EQ(dialog.m_strStatusText, u"Download failed.");
    EXPECT_EQ(host.queuedPaints, paintsBefore + 1);
  }
  Publish(STATUS_CLEANUP_FILES);
  Tick();
  EXPECT_EQ(dialog.m_strStatusText, u"Cleaning up temp files...");
  Publish(STATUS_FINISHED);
  Tick();
  EXPECT_EQ(host.endResult, platform::kResultCancel);
}

TEST_F(InstallFlowTest, AStateOutsideTheTableKeepsTheText) {
  host.timers[IDT_STATUS_POLL] = 250;
  Publish(STATUS_DOWNLOADING);
  Tick();
  Publish(42);
  Tick();
  EXPECT_EQ(dialog.m_strStatusText, u"Downloading...");
  EXPECT_TRUE(host.timers.contains(IDT_STATUS_POLL));
}

TEST_F(InstallFlowTest, CancelYesHoldsTheTransferWhileAskingThenWindsDown) {
  host.timers[IDT_STATUS_POLL] = 250;
  Publish(STATUS_DOWNLOADING, 10, 100);
  Tick();
  bool heldWhileAsking = false;
  host.onMessageBox = [&] { heldWhileAsking = !RunEvent.IsSet(); };
  host.answers.push_back(MessageBoxAnswer::Yes);
  dialog.m_config.strProductName = u"Plantyx";
  dialog.OnClicked(IDC_BTN_CANCEL);

  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].text, u"Are you sure you want to cancel downloading?");
  EXPECT_EQ(host.messageBoxes[0].caption, u"Plantyx");
  EXPECT_EQ(host.messageBoxes[0].kind, platform::MessageBoxKind::YesNoExclamation);
  EXPECT_TRUE(heldWhileAsking);
  EXPECT_TRUE(RunEvent.IsSet());
  EXPECT_TRUE(CancelEvent.IsSet());
  EXPECT_EQ(dialog.m_btnCancel.m_colors[ui::CTorvinButton::ColorForeOut], ui::Rgb(133, 133, 133));
  EXPECT_EQ(dialog.m_btnCancel.m_ptPressOffset, (ui::Point{0, 0}));

  dialog.OnClicked(IDC_BTN_CANCEL);  // a second click asks nothing
  EXPECT_EQ(host.messageBoxes.size(), 1u);

  const uint64_t shown = dialog.m_ullShownBytes;
  Publish(STATUS_DOWNLOADING, 50, 100);
  Tick();
  EXPECT_EQ(dialog.m_strStatusText, u"Cancelling...");
  EXPECT_EQ(host.timers.at(IDT_STATUS_POLL), 250u);
  EXPECT_EQ(dialog.m_ullShownBytes, shown);  // no progress in cancel mode
  Publish(STATUS_DOWNLOAD_CANCELLED);
  Tick();
  EXPECT_EQ(dialog.m_strStatusText, u"Download cancelled.");
  EXPECT_EQ(host.timers.at(IDT_STATUS_POLL), 1000u);
  Publish(STATUS_FINISHED);
  Tick();
  EXPECT_EQ(host.endResult, platform::kResultCancel);
}

TEST_F(InstallFlowTest, CancelNoLetsTheTransferGoOnUnchanged) {
  const auto colors = dialog.m_btnCancel.m_colors;
  host.answers.push_back(MessageBoxAnswer::No);
  dialog.OnCancelClicked();
  EXPECT_TRUE(RunEvent.IsSet());
  EXPECT_FALSE(CancelEvent.IsSet());
  EXPECT_FALSE(dialog.m_bCancelConfirmed);
  EXPECT_EQ(dialog.m_btnCancel.m_colors, colors);
  dialog.OnCancelClicked();  // asked again
  EXPECT_EQ(host.messageBoxes.size(), 2u);
}

TEST_F(InstallFlowTest, ClosingTheWindowAsksTheSameQuestion) {
  dialog.OnCloseRequest();
  EXPECT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_FALSE(host.endResult);
}

TEST_F(InstallFlowTest, CancelConfirmedAfterTheDownloadCompletedRemovesTheFileWithoutLaunching) {
  const TempFolder folder;
  HoldCheckedInstaller(folder, "Product.exe");
  const auto file = folder / "Product.exe";
  host.timers[IDT_STATUS_POLL] = 250;
  Publish(STATUS_DOWNLOADDONE, 100, 100);
  Tick();
  host.answers.push_back(MessageBoxAnswer::Yes);
  dialog.OnCancelClicked();
  Tick();  // the worker is still closing the file
  EXPECT_EQ(dialog.m_strStatusText, u"Cancelling...");
  EXPECT_TRUE(std::filesystem::exists(file));
  Publish(STATUS_PREPARE_INSTALL, 100, 100);
  Tick();
  EXPECT_EQ(host.endResult, platform::kResultCancel);
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(InstallFlowTest, WithoutAnEngineTheFailureShowsForAMomentThenTheDialogEnds) {
  dialog.m_bEngineStarted = false;
  Publish(STATUS_DOWNLOADING, 10, 100);  // a record left from elsewhere is never read
  host.timers[IDT_STATUS_POLL] = 250;
  int ticks = 0;
  while (!host.endResult && ticks < 100) {
    ASSERT_TRUE(Tick());
    EXPECT_EQ(dialog.m_strStatusText, u"Download failed.");
    ++ticks;
  }
  EXPECT_EQ(host.endResult, platform::kResultCancel);
  EXPECT_GT(ticks, 1);
  EXPECT_EQ(dialog.m_ullShownBytes, 0u);
}

}  // namespace
