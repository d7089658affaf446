// The hold on the verified installer. The worker fills it before it stores state 8 and the owner
// empties it only after seeing state 8, both through the status lock, so it needs no lock of its own.
#include "download/installer_hold.h"

#include "download/download_log.h"
#include "download/download_status.h"
#include "platform/held_file.h"

namespace {

platform::HeldFile VerifiedInstaller;

}  // namespace

int32_t VerifyDownloadedInstaller(const std::u16string& path, const InstallerChecks& checks) {
  PublishState(STATUS_VERIFYING);
  LogDownloadStep({"checking ", path}, DownloadStep::ChecksStarted);
  VerificationResult result;
  if (VerifiedInstaller.Open(path)) {
    result = VerifyInstaller(VerifiedInstaller, checks);
  } else {
    result.report = u"installer refused: the file cannot be held for the checks";
  }
  if (result.passed) {
    LogDownloadStep({result.report}, DownloadStep::ChecksPassed);
    return STATUS_DOWNLOADDONE;
  }
  LogDownloadFailure(result.failure, {result.report});
  VerifiedInstaller.Close();
  PublishState(STATUS_DOWNLOAD_FAILED);
  return STATUS_DOWNLOAD_FAILED;
}

void ReleaseVerifiedInstaller() { VerifiedInstaller.Close(); }
