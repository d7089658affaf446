// The hold on the verified installer. The worker fills it before it stores state 8 and the owner
// empties it only after seeing state 8, both through the status lock, so it needs no lock of its own.
#include "download/installer_hold.h"

#include "download/destination_file.h"
#include "download/download_log.h"
#include "download/download_status.h"
#include "platform/held_file.h"
#include "platform/system.h"

namespace {

using HoldOutcome = platform::HeldFile::HoldOutcome;

platform::HeldFile VerifiedInstaller;

std::u16string FileNameOf(const std::u16string& path) { return path.substr(path.find_last_of(u"\\/") + 1); }

// Removes the file, logs why it was refused, and only then tells the owner.
int32_t Refuse(DownloadFailure failure, const std::u16string& report, const std::u16string& writtenPath) {
  if (VerifiedInstaller.IsOpen()) {
    DiscardVerifiedInstaller();
  } else if (!platform::RemoveFile(writtenPath)) {
    ReportUnremovedFile(writtenPath);
  }
  LogDownloadFailure(failure, {report});
  PublishState(STATUS_DOWNLOAD_FAILED);
  return STATUS_DOWNLOAD_FAILED;
}

}  // namespace

int32_t VerifyDownloadedInstaller(platform::File& written, const std::u16string& installerPath,
                                  const InstallerChecks& checks) {
  PublishState(STATUS_VERIFYING);
  const std::u16string writtenPath = written.Path();
  LogDownloadStep({"checking ", writtenPath}, DownloadStep::ChecksStarted);
  switch (VerifiedInstaller.Hold(written)) {
    case HoldOutcome::Held:
      break;
    case HoldOutcome::Replaced:
      return Refuse(DownloadFailure::CheckImpossible,
                    u"installer refused: its name no longer leads to the file that was downloaded", writtenPath);
    case HoldOutcome::Failed:
      return Refuse(DownloadFailure::CheckImpossible, u"installer refused: the file cannot be held for the checks",
                    writtenPath);
  }
  const VerificationResult result = VerifyInstaller(VerifiedInstaller, checks);
  if (!result.passed) return Refuse(result.failure, result.report, writtenPath);
  if (!VerifiedInstaller.Rename(FileNameOf(installerPath))) {
    return Refuse(DownloadFailure::WriteFailed, u"installer refused: it cannot take the name " + installerPath,
                  writtenPath);
  }
  LogDownloadStep({result.report}, DownloadStep::ChecksPassed);
  return STATUS_DOWNLOADDONE;
}

std::u16string VerifiedInstallerPath() { return VerifiedInstaller.FinalPath(); }

void ReleaseVerifiedInstaller() { VerifiedInstaller.Close(); }

void DiscardVerifiedInstaller() {
  if (!VerifiedInstaller.IsOpen()) return;
  const std::u16string path = VerifiedInstaller.Path();
  if (!VerifiedInstaller.Discard()) ReportUnremovedFile(path);
}
