// One download through the engine, as the installer runs it (probe, ranged transfer, program
// check), waited for by polling the status record; then the digest and signer checks.
#include "kit/installer_file_check.h"

#include "download/download_status.h"
#include "download/web_downloader.h"
#include "kit/scratch_folder.h"
#include "platform/system.h"
#include "platform/trust.h"
#include "platform/utf.h"

namespace kit {
namespace {

constexpr uint32_t kPollMs = 50;

int32_t CurrentState() {
  std::lock_guard lock(StatusLock);
  return SharedStatus.state;
}

// The engine's whole run: a file that passed the program check stays at `path`.
bool Download(const std::u16string& url, const std::u16string& path) {
  CWebDownloader* engine = GetDownloader();
  bool started = engine->Init(url, {}, path) && engine->ResumeWorker();
  while (started && CurrentState() != STATUS_PREPARE_INSTALL && CurrentState() != STATUS_FINISHED) {
    platform::SleepFor(kPollMs);
  }
  const bool done = started && CurrentState() == STATUS_PREPARE_INSTALL;
  ShutdownDownloader();
  return done;
}

}  // namespace

FileCheck DownloadAndVerify(const std::u16string& url, const InstallerChecks& checks) {
  FileCheck check;
  const ScratchFolder folder;
  const std::u16string path = folder.File("installer.exe");
  if (!Download(url, path)) {
    check.report = "the download failed, or the file is not a Windows program";
    return check;
  }
  check.downloaded = true;
  platform::HeldFile file;
  if (!file.Open(path)) {
    check.report = "the downloaded file cannot be opened";
    return check;
  }
  // The signer is judged only where the platform can judge signatures.
  InstallerChecks runnable{checks.sha256, {}};
  if (!checks.signer.empty()) {
    check.signerUnchecked =
        platform::CheckAuthenticodeSigner(file).outcome == platform::SignerCheck::Outcome::Unavailable;
    if (!check.signerUnchecked) runnable.signer = checks.signer;
  }
  const VerificationResult result = VerifyInstaller(file, runnable);
  check.passed = result.passed;
  check.report = platform::ToUtf8(result.report);
  if (check.signerUnchecked) check.report += "; signer not checked on this platform";
  return check;
}

}  // namespace kit
