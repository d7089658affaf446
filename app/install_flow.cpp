// The install flow of the dialog: the polling tick, the status texts, the progress that never goes
// back, the question before cancelling and the launch of the downloaded installer.
#include "app/installer_dialog.h"
#include "app/run_log.h"
#include "app/ui_strings.h"
#include "app/window_geometry.h"
#include "download/installer_hold.h"
#include "platform/utf.h"
#include "ui/window_painting.h"

namespace {

constexpr uint32_t kPollMs = 250;
constexpr uint32_t kCancelledPollMs = 1000;
// Without a running engine the failure text stays this many ticks before the dialog ends.
constexpr int32_t kIdleFailureTicks = 8;

}  // namespace

// The record as the engine left it, or, when no engine was started or the installer did not start,
// a failure that ends after a moment, so that the user sees that nothing will be installed.
DownloadStatus CTorvinWebInstallerDlg::PollStatus() {
  if (m_bEngineStarted && !m_bLaunchFailed) return ReadStatus();
  DownloadStatus idle;
  idle.state = m_nIdleTicks++ < kIdleFailureTicks ? STATUS_DOWNLOAD_FAILED : STATUS_FINISHED;
  return idle;
}

void CTorvinWebInstallerDlg::OnTimer(uint32_t id) {
  if (id != IDT_STATUS_POLL) return;
  m_host->KillTimer(IDT_STATUS_POLL);
  const DownloadStatus status = PollStatus();
  if (m_bCancelConfirmed) {
    OnCancelModeTick(status);
    return;
  }
  if (OnNormalTick(status)) m_host->SetTimer(IDT_STATUS_POLL, kPollMs);
}

// After a confirmed cancel only the engine's winding down is watched. A download that had already
// completed never reaches state 10: once the worker is done (state 8) the file is removed and the
// dialog ends without launching it.
void CTorvinWebInstallerDlg::OnCancelModeTick(const DownloadStatus& status) {
  switch (status.state) {
    case STATUS_FINISHED:
      EndRun(RunOutcome::Cancelled);
      OnCancel();
      return;
    case STATUS_PREPARE_INSTALL:
      DiscardVerifiedInstaller();
      LogLine("the completed download was cancelled: its file is deleted, nothing is launched");
      EndRun(RunOutcome::Cancelled);
      OnCancel();
      return;
    case STATUS_DOWNLOAD_CANCELLED:
      EndRun(RunOutcome::Cancelled);
      ShowStatus(STATUS_DOWNLOAD_CANCELLED);
      m_host->SetTimer(IDT_STATUS_POLL, kCancelledPollMs);
      return;
    default:
      ShowStatus(STATUS_DOWNLOAD_CANCELLING);
      m_host->SetTimer(IDT_STATUS_POLL, kPollMs);
      return;
  }
}

// One tick of a running download; false when the tick ended the dialog or re-armed the timer itself.
// While the cancel question is open the display follows the engine, but nothing is launched and the
// dialog does not end: the answer decides first.
bool CTorvinWebInstallerDlg::OnNormalTick(const DownloadStatus& status) {
  if (status.state == STATUS_DOWNLOAD_FAILED) {
    EndRun(RunOutcome::Failed);
    ShowStatus(STATUS_DOWNLOAD_FAILED);
  }
  if (status.state == STATUS_FINISHED) {
    if (m_bAskingCancel) return true;
    EndRun(RunOutcome::Failed);
    OnCancel();
    return false;
  }
  if (status.total != m_ullTotalBytes) m_ullTotalBytes = status.total;
  if (status.state != m_nLastState) {
    ShowStatus(status.state);
    m_nLastState = status.state;
  }
  // Two paints while bytes have arrived, each moving the bar's bands on; a smaller count than the
  // one shown is painted only once the download has started again from byte 0.
  if (status.restarts != m_nShownRestarts) {
    m_nShownRestarts = status.restarts;
    m_ullShownBytes = 0;
  }
  if (status.received != 0 && status.received >= m_ullShownBytes) {
    ShowProgress(status.received);
    ShowProgress(status.received);
  }
  if (!m_bAskingCancel) ShowTaskbarProgress(status.state);
  if (status.state == STATUS_PREPARE_INSTALL && !m_bAskingCancel) {
    if (!s_bLaunchArmed) {
      s_bLaunchArmed = true;  // the preparing text stays up for one whole tick
      return true;
    }
    s_bLaunchArmed = false;
    if (LaunchInstaller()) {
      OnCancel();
      return false;
    }
    // "Download failed." from this tick on, for a moment, then the dialog ends.
    m_bLaunchFailed = true;
    ShowStatus(STATUS_DOWNLOAD_FAILED);
    m_nLastState = STATUS_DOWNLOAD_FAILED;
    ShowTaskbarProgress(STATUS_DOWNLOAD_FAILED);
  }
  return true;
}

// The taskbar button follows the download: busy until bytes flow, the share received while they
// do, red once the download failed. Other states leave it as it is.
void CTorvinWebInstallerDlg::ShowTaskbarProgress(int32_t state) {
  switch (state) {
    case STATUS_INIT:
      m_host->SetTaskbarProgress(platform::TaskbarProgress::Indeterminate, 0, 0);
      return;
    case STATUS_DOWNLOADING:
    case STATUS_DOWNLOADDONE:
    case STATUS_VERIFYING:
    case STATUS_PREPARE_INSTALL: {
      const bool sized = m_ullTotalBytes != 0;
      m_host->SetTaskbarProgress(
          sized ? platform::TaskbarProgress::Normal : platform::TaskbarProgress::Indeterminate,
          state == STATUS_DOWNLOADING ? m_ullShownBytes : m_ullTotalBytes, m_ullTotalBytes);
      return;
    }
    case STATUS_DOWNLOAD_FAILED:
    case STATUS_CLEANUP_FILES:
      m_host->SetTaskbarProgress(platform::TaskbarProgress::Error, m_ullShownBytes, m_ullTotalBytes);
      return;
    default:
      return;
  }
}

// The held file is launched by the path the system gives it, and held until the launch has returned.
// The launch's outcome is the run's: launched (the process kept for /wait), or failed.
bool CTorvinWebInstallerDlg::LaunchInstaller() {
  const std::u16string path = VerifiedInstallerPath();
  LogLine({"launching ", path, " with the arguments: ", m_options.installerArguments});
  TheRun.Begin(RunPhase::Launch);
  platform::ProgramLaunch launch;
  if (!path.empty()) launch = m_host->OpenInstaller(path, m_options.installerArguments);
  ReleaseVerifiedInstaller();
  TheRun.End(RunPhase::Launch);
  if (!launch.started) {
    TheRun.Fail(RunError::LaunchFailed, platform::JoinUtf8({"the system did not start the installer: error ", launch.error}));
    EndRun(RunOutcome::Failed);
    return false;
  }
  LogLine("the installer was started");
  m_launchedInstaller = std::move(launch.process);
  EndRun(RunOutcome::Launched);
  return true;
}

void CTorvinWebInstallerDlg::ShowStatus(int32_t state) {
  if (const UIString* text = StatusUIString(state)) m_strStatusText = Text(*text);
  m_bStatusDirty = true;
  m_host->Invalidate(ToWindowRect(m_layout.rcStatus));
  m_host->PostPaint();
  AnnounceStatus();
}

void CTorvinWebInstallerDlg::ShowProgress(uint64_t received) {
  m_ullShownBytes = received;
  m_bProgressDirty = true;
  m_bStatusDirty = true;
  m_host->Invalidate(ToWindowRect(ui::ProgressInvalidRect(m_layout, m_scale)));
  m_host->SendPaint();
  AnnounceProgress();
}

// The question's own message loop keeps the polling timer running; the ticks meanwhile neither
// launch nor end (see OnNormalTick), so both answers still find the dialog and the file in place.
void CTorvinWebInstallerDlg::OnCancelClicked() {
  if (m_bCancelConfirmed || m_bAskingCancel || !ConfirmCancel()) return;
  LogLine("cancel: confirmed by the user");
  m_bCancelConfirmed = true;
  CancelEvent.Set();
  RunEvent.Set();
  StyleButtons();  // Cancel now looks disabled but stays enabled; further clicks are ignored
  m_cancelBinding.Window().LeaveTabOrder();
  m_host->NotifyAccessibleChange(platform::kAccessibleCancel, platform::AccessibleChange::State);
}

// The transfer holds while the question is open; with /passive nothing is asked.
bool CTorvinWebInstallerDlg::ConfirmCancel() {
  if (m_options.AsksNothing()) return true;
  RunEvent.Clear();
  m_host->SetTaskbarProgress(platform::TaskbarProgress::Paused, m_ullShownBytes, m_ullTotalBytes);
  m_bAskingCancel = true;
  const platform::MessageBoxAnswer answer =
      m_host->ShowMessageBox(Text(IDS_MESSAGE_CANCELNOTICE), m_config.strProductName,
                             platform::MessageBoxKind::YesNoExclamation, TextsReadingOrder());
  m_bAskingCancel = false;
  if (answer == platform::MessageBoxAnswer::Yes) return true;
  LogLine("cancel: the user answered No, the download goes on");
  RunEvent.Set();
  return false;
}
