// The download engine object: the worker's run from address check to final state, and the
// segment thread that performs the ranged transfer.
#include "download/web_downloader.h"

#include <chrono>

#include "download/destination_file.h"
#include "download/installer_hold.h"
#include "platform/http.h"
#include "platform/system.h"
#include "platform/thread.h"

namespace {

using std::chrono::milliseconds;

// How long each passing state stays visible to the owner, who polls every 250 ms.
constexpr milliseconds kCancelledPause{1000};
constexpr milliseconds kFailedPause{1000};
constexpr milliseconds kCleanupPause{2000};
constexpr milliseconds kDonePause{500};

std::unique_ptr<CWebDownloader> Downloader;

// The thread procedures as the threads seam starts them.
void RunWorker(void* downloader) { WorkerProc(static_cast<CWebDownloader*>(downloader)); }
void RunSegment(void* segment) { SegmentProc(static_cast<DownloadSegment*>(segment)); }

void Pause(milliseconds duration) { platform::SleepFor(static_cast<uint32_t>(duration.count())); }

void StoreDownloading(uint64_t size) {
  std::lock_guard lock(StatusLock);
  SharedStatus.state = STATUS_DOWNLOADING;
  SharedStatus.total = size;
}

void StoreCancelledBeforeTransfer() {
  std::lock_guard lock(StatusLock);
  SharedStatus.state = STATUS_DOWNLOAD_CANCELLED;
  SharedStatus.received = 0;
}

void SetActiveSegments(int32_t count) {
  std::lock_guard lock(StatusLock);
  ActiveSegments = count;
}

// Makes the complete file durable before anyone launches it: once, after the last byte.
bool SyncDestination() {
  std::lock_guard lock(FileLock);
  return DestinationFile.Sync();
}

}  // namespace

CWebDownloader* GetDownloader() {
  if (!Downloader) Downloader = std::make_unique<CWebDownloader>();
  return Downloader.get();
}

void ShutdownDownloader() {
  if (Downloader) Downloader->StopAndJoin();
  ReleaseVerifiedInstaller();
  CloseInternetSession();
  Downloader.reset();
}

uint32_t WorkerProc(CWebDownloader* downloader) {
  if (downloader != nullptr) downloader->Run();
  return 0;
}

uint32_t SegmentProc(DownloadSegment* segment) {
  if (segment == nullptr) return 0;
  std::unique_ptr<DownloadSegment> owned(segment);
  CancelRequest cancel(CancelEvent);
  DownloadRange(cancel, owned->address, owned->first, owned->last, owned->total, owned->progress);
  return 0;
}

bool CWebDownloader::Init(const std::u16string& primaryUrl, const std::u16string& fallbackUrl,
                          const std::u16string& destinationPath) {
  if ((primaryUrl.empty() && fallbackUrl.empty()) || destinationPath.empty()) return false;
  if (m_worker.Exists() || DestinationFile.IsOpen()) return false;  // one download per engine
  m_strPrimaryUrl = primaryUrl;
  m_strFallbackUrl = fallbackUrl;
  if (!DestinationFile.CreateExclusive(destinationPath)) return false;
  m_strDestinationPath = destinationPath;
  ResetDownloadShared();
  if (!OpenInternetSession() || !m_worker.Create(RunWorker, this)) {
    CloseAndDeleteFile();
    return false;
  }
  return true;
}

void CWebDownloader::SetInstallerChecks(const InstallerChecks& primary, const InstallerChecks& fallback) {
  m_primaryChecks = primary;
  m_fallbackChecks = fallback;
}

bool CWebDownloader::ResumeWorker() { return m_worker.Resume(); }

void CWebDownloader::NormalizeUrls() {
  using platform::http::CanonicalizeAndSplit;
  if (CanonicalizeAndSplit(m_strPrimaryUrl)) return;
  m_strPrimaryUrl.insert(0, u"http://");
  if (CanonicalizeAndSplit(m_strPrimaryUrl)) return;
  if (!CanonicalizeAndSplit(m_strFallbackUrl)) m_strFallbackUrl.insert(0, u"http://");
}

void CWebDownloader::Run() {
  NormalizeUrls();
  uint64_t size = ProbeSize(m_strPrimaryUrl);
  if (CancelEvent.IsSet()) {
    CloseAndDeleteFile();
    StoreCancelledBeforeTransfer();
    Pause(kCancelledPause);
    PublishState(STATUS_FINISHED);
    return;
  }
  if (size == 0) {
    m_strPrimaryUrl = m_strFallbackUrl;
    m_primaryChecks = m_fallbackChecks;
    size = ProbeSize(m_strPrimaryUrl);
  }
  if (size == 0) {
    CloseAndDeleteFile();
    PublishStatus({STATUS_DOWNLOAD_FAILED, 0, 0});
    Pause(kFailedPause);
    PublishState(STATUS_FINISHED);
    return;
  }
  StoreDownloading(size);
  int32_t state = TransferWholeFile(size);
  if (state == STATUS_DOWNLOADDONE) {
    Pause(kDonePause);
    state = VerifyDownloadedInstaller(m_strDestinationPath, m_primaryChecks);
  }
  switch (state) {
    case STATUS_DOWNLOADDONE:
      PublishState(STATUS_PREPARE_INSTALL);
      return;
    case STATUS_DOWNLOAD_CANCELLED:
      platform::RemoveFile(m_strDestinationPath);
      Pause(kCancelledPause);
      PublishState(STATUS_FINISHED);
      return;
    default:
      Pause(kFailedPause);
      PublishState(STATUS_CLEANUP_FILES);
      platform::RemoveFile(m_strDestinationPath);
      Pause(kCleanupPause);
      PublishState(STATUS_FINISHED);
      return;
  }
}

int32_t CWebDownloader::TransferWholeFile(uint64_t size) {
  SetActiveSegments(1);
  auto segment = std::make_unique<DownloadSegment>(
      DownloadSegment{0, size - 1, size, m_strPrimaryUrl, OnSegmentProgress});
  platform::Thread segmentThread;
  if (segmentThread.Start(RunSegment, segment.get())) {
    segment.release();  // the segment thread owns it now
  } else {
    DownloadStatus failed{STATUS_DOWNLOAD_FAILED, 0, 0};
    OnSegmentProgress(&failed);
  }
  DoneEvent.Wait();
  // The segment has made its final report; all it does now is free its record.
  segmentThread.Join();

  int32_t state = ReadStatus().state;
  if (state == STATUS_DOWNLOADDONE && !SyncDestination()) {
    state = STATUS_DOWNLOAD_FAILED;
    PublishState(state);
  }
  DestinationFile.Close();
  return state;
}

void CWebDownloader::CloseAndDeleteFile() {
  if (!DestinationFile.IsOpen()) return;
  DestinationFile.Close();
  platform::RemoveFile(m_strDestinationPath);
}

void CWebDownloader::StopAndJoin() {
  if (m_worker.WasResumed()) {
    // The owner ends only after a final state; a worker still running is told to stop.
    CancelEvent.Set();
    RunEvent.Set();
  }
  m_worker.Join();
  CloseAndDeleteFile();  // the file of a worker that never ran
}
