// The download engine object: two addresses and a destination path in, a downloaded file (or a
// cancelled or failed download with no file left) out, reported through the shared status record.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "download/http_transfer.h"
#include "download/installer_verification.h"
#include "download/suspended_thread.h"

// One range handed to a segment thread, which owns it.
struct DownloadSegment {
  uint64_t first = 0;
  uint64_t last = 0;   // inclusive
  uint64_t total = 0;  // the probed size of the whole file
  std::u16string address;
  ProgressCallback progress = nullptr;
};

class CWebDownloader {
 public:
  // Opens the destination file exclusively (emptied), makes the events, the internet session and
  // the worker thread, created suspended. False at the first step that fails; then nothing runs
  // and no file is left behind.
  bool Init(const std::u16string& primaryUrl, const std::u16string& fallbackUrl,
            const std::u16string& destinationPath);
  // What the downloaded file must pass before it may be launched, for the file of each address
  // (the signer is the same for both). Without this call only the program check runs.
  void SetInstallerChecks(const InstallerChecks& primary, const InstallerChecks& fallback);
  // Starts the worker that Init created; false when there is none to start.
  bool ResumeWorker();
  // The whole download, on the worker thread; ends after storing state 8 or 10.
  void Run();
  // Puts "http://" before an address that does not parse, as the installer's address check does.
  void NormalizeUrls();

  const std::u16string& PrimaryUrl() const { return m_strPrimaryUrl; }
  const std::u16string& FallbackUrl() const { return m_strFallbackUrl; }

  // Ends a worker that is still running (it is cancelled) and waits for it, then releases the file
  // if the worker never ran: called by ShutdownDownloader.
  void StopAndJoin();

 private:
  int32_t TransferWholeFile(uint64_t size);
  void CloseAndDeleteFile();

  std::u16string m_strDestinationPath;
  std::u16string m_strPrimaryUrl;
  std::u16string m_strFallbackUrl;
  InstallerChecks m_primaryChecks;  // follow their addresses: replaced with them by the fallback
  InstallerChecks m_fallbackChecks;
  SuspendedThread m_worker;
};

// The one engine object, created on first use.
CWebDownloader* GetDownloader();
// Frees the engine and everything Init made; the worker has stored its final state by then (a
// worker still running is cancelled and waited for).
void ShutdownDownloader();

// Thread procedures.
uint32_t WorkerProc(CWebDownloader* downloader);
uint32_t SegmentProc(DownloadSegment* segment);
