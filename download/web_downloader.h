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
  // Thrown by the worker when the download is cancelled; outlives the segment thread.
  platform::http::AbortSwitch* abortSwitch = nullptr;
};

class CWebDownloader {
 public:
  // Removes an earlier file at the destination path, creates the file the download is written to
  // beside it (the destination's name with ".partial" added, open to us alone), makes the events,
  // the internet session and the worker thread, created suspended. False at the first step that
  // fails; then nothing runs and no file is left behind.
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
  // The whole file from the primary address; the final state of the segment (3, 5 or 6).
  int32_t TransferWholeFile(uint64_t size);
  // After the primary address failed for good mid-transfer: the whole file again from the fallback
  // address, when that is a different one and gives a size. The final state.
  int32_t TransferFromFallback(int32_t failedState);
  // The end of a download that reached the transfer: success, cancel or failure.
  void FinishTransfer(int32_t state);
  void FinishCancelledBeforeTransfer();
  void SwitchToFallback();

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
