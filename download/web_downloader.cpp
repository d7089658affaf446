// The download engine object: the worker's run from address check to final state, and the
// segment thread that performs the ranged transfer. The worker never blocks on the network itself:
// the probe and the segment run on threads of their own while the worker watches for a cancel and
// then stops their network calls at once.
#include "download/web_downloader.h"

#include <chrono>

#include "download/destination_file.h"
#include "download/download_log.h"
#include "download/installer_hold.h"
#include "platform/http.h"
#include "platform/system.h"
#include "platform/thread.h"
#include "platform/utf.h"

namespace {

using platform::http::AbortSwitch;
using platform::http::AbortSwitchHandle;
using platform::http::SendResult;

// How long each passing state stays visible to the owner, who polls every 250 ms.
constexpr uint32_t kCancelledPauseMs = 1000;
constexpr uint32_t kFailedPauseMs = 1000;
constexpr uint32_t kCleanupPauseMs = 2000;
constexpr uint32_t kDonePauseMs = 500;
// While a probe or the segment runs, the worker looks at the cancel this often.
constexpr auto kCancelLook = std::chrono::milliseconds(100);

std::unique_ptr<CWebDownloader> Downloader;

// The thread procedures as the threads seam starts them.
void RunWorker(void* downloader) { WorkerProc(static_cast<CWebDownloader*>(downloader)); }
void RunSegment(void* segment) { SegmentProc(static_cast<DownloadSegment*>(segment)); }

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

// Makes the complete file durable before anyone launches it: once, after the last byte.
bool SyncDestination() {
  std::lock_guard lock(FileLock);
  return DestinationFile.Sync();
}

bool EmptyDestination() {
  std::lock_guard lock(FileLock);
  return DestinationFile.Truncate();
}

// Waits for `finished`; a cancel seen meanwhile throws `abortSwitch` (once), which ends the network
// calls of the work being waited for.
void WaitWatchingCancel(Event& finished, AbortSwitch& abortSwitch) {
  bool thrown = false;
  while (!finished.WaitFor(kCancelLook)) {
    if (!thrown && CancelEvent.IsSet()) {
      platform::http::Abort(abortSwitch);
      thrown = true;
    }
  }
}

// One size probe, as the prober thread runs it.
struct ProbeJob {
  const std::u16string& url;
  AbortSwitch* abortSwitch;
  ProbeReply reply;
  Event finished{Event::Reset::Manual, false};
};

void RunProbe(void* context) {
  auto* job = static_cast<ProbeJob*>(context);
  job->reply = ProbeLink(job->url, job->abortSwitch);
  job->finished.Set();
}

const char* ProbeRefusal(SendResult outcome) {
  switch (outcome) {
    case SendResult::Failed:
      return "no reply";
    case SendResult::CertificateRefused:
      return "refused: the server's certificate was not accepted (name, dates or issuer)";
    case SendResult::RedirectRefused:
      return "refused: redirected from https to http, or too many times";
    case SendResult::Replied:
      break;
  }
  return nullptr;
}

std::string DescribeProbe(const std::u16string& url, const ProbeReply& reply) {
  if (const char* refusal = ProbeRefusal(reply.outcome)) return platform::JoinUtf8({"size probe ", url, ": ", refusal});
  std::string line = platform::JoinUtf8({"size probe ", url, ": status ", reply.status, ", size ", reply.size});
  for (size_t hop = 0; hop < reply.redirects.size(); ++hop)
    line += platform::JoinUtf8({hop ? " -> " : ", redirected to ", reply.redirects[hop]});
  return line;
}

// The size probe on a thread of its own, stopped at once by a cancel.
ProbeReply ProbeWatchingCancel(const std::u16string& url) {
  AbortSwitchHandle abortSwitch = platform::http::CreateAbortSwitch();
  ProbeJob job{url, abortSwitch.get(), {}};
  platform::Thread prober;
  if (prober.Start(RunProbe, &job)) {
    WaitWatchingCancel(job.finished, *abortSwitch);
    prober.Join();
  } else {
    job.reply = ProbeLink(url);
  }
  if (!CancelEvent.IsSet()) LogDownloadStep({DescribeProbe(url, job.reply)});
  return job.reply;
}

// Why no size could be learned from either link, by what the last probe met.
void LogNoSize(const ProbeReply& last, const char* line) {
  DownloadFailure failure = DownloadFailure::NoSize;
  if (last.outcome == SendResult::CertificateRefused) failure = DownloadFailure::CertificateRefused;
  if (last.outcome == SendResult::RedirectRefused) failure = DownloadFailure::RedirectRefused;
  LogDownloadFailure(failure, {line});
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
  DownloadRange(cancel, owned->address, owned->first, owned->last, owned->total, owned->progress,
                owned->abortSwitch);
  return 0;
}

bool CWebDownloader::Init(const std::u16string& primaryUrl, const std::u16string& fallbackUrl,
                          const std::u16string& destinationPath) {
  if ((primaryUrl.empty() && fallbackUrl.empty()) || destinationPath.empty()) return false;
  if (m_worker.Exists() || DestinationFile.IsOpen()) return false;  // one download per engine
  m_strPrimaryUrl = primaryUrl;
  m_strFallbackUrl = fallbackUrl;
  // An earlier download under the installer's name goes first, unless it is in use (it may still
  // run): then nothing starts.
  if (!platform::RemoveFile(destinationPath) || !DestinationFile.CreateExclusive(destinationPath + kPartialSuffix)) {
    LogDownloadFailure(DownloadFailure::DestinationNotCreated,
                       {"cannot create ", destinationPath + kPartialSuffix,
                        " (the folder is not writable, or an earlier download under the installer's name is in use)"});
    return false;
  }
  m_strDestinationPath = destinationPath;
  ResetDownloadShared();
  if (!OpenInternetSession() || !m_worker.Create(RunWorker, this)) {
    LogDownloadFailure(DownloadFailure::NotStarted, {"the system refused the internet session or the worker thread"});
    DiscardDestinationFile();
    return false;
  }
  LogDownloadStep({"download to ", destinationPath, " from ", primaryUrl, ", default link ", fallbackUrl});
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
  LogDownloadStep({"probing the size of ", m_strPrimaryUrl}, DownloadStep::ProbeStarted);
  ProbeReply probe = ProbeWatchingCancel(m_strPrimaryUrl);
  if (CancelEvent.IsSet()) return FinishCancelledBeforeTransfer();
  if (probe.size == 0) {
    SwitchToFallback();
    LogDownloadStep({"no size from the first link: trying the default link ", m_strPrimaryUrl});
    probe = ProbeWatchingCancel(m_strPrimaryUrl);
    if (CancelEvent.IsSet()) return FinishCancelledBeforeTransfer();
  }
  const uint64_t size = probe.size;
  if (size == 0) {
    LogNoSize(probe, "no size from either link: nothing is downloaded");
    DiscardDestinationFile();
    PublishStatus({STATUS_DOWNLOAD_FAILED, 0, 0});
    platform::SleepFor(kFailedPauseMs);
    PublishState(STATUS_FINISHED);
    return;
  }
  LogDownloadStep({"fetching ", size, " bytes from ", m_strPrimaryUrl}, DownloadStep::TransferStarted);
  StoreDownloading(size);
  FinishTransfer(TransferFromFallback(TransferWholeFile(size)));
}

void CWebDownloader::FinishCancelledBeforeTransfer() {
  DiscardDestinationFile();
  StoreCancelledBeforeTransfer();
  platform::SleepFor(kCancelledPauseMs);
  PublishState(STATUS_FINISHED);
}

// The digest belongs to its address: the fallback's file is checked against the fallback's.
void CWebDownloader::SwitchToFallback() {
  m_strPrimaryUrl = m_strFallbackUrl;
  m_primaryChecks = m_fallbackChecks;
}

void CWebDownloader::FinishTransfer(int32_t state) {
  if (state == STATUS_DOWNLOADDONE && !SyncDestination()) {
    LogDownloadFailure(DownloadFailure::WriteFailed, {"the complete file could not be written to the disk"});
    state = STATUS_DOWNLOAD_FAILED;
    PublishState(state);
  }
  // The file goes from the download's handle straight to the hold of the checks.
  if (state == STATUS_DOWNLOADDONE) state = VerifyDownloadedInstaller(DestinationFile, m_strDestinationPath, m_primaryChecks);
  switch (state) {
    case STATUS_DOWNLOADDONE:
      PublishState(STATUS_DOWNLOADDONE);  // checked: "Download completed." for a moment
      platform::SleepFor(kDonePauseMs);
      PublishState(STATUS_PREPARE_INSTALL);
      return;
    case STATUS_DOWNLOAD_CANCELLED:
      DiscardDestinationFile();
      platform::SleepFor(kCancelledPauseMs);
      PublishState(STATUS_FINISHED);
      return;
    default:
      platform::SleepFor(kFailedPauseMs);
      PublishState(STATUS_CLEANUP_FILES);
      DiscardDestinationFile();  // a refused installer is gone already
      platform::SleepFor(kCleanupPauseMs);
      PublishState(STATUS_FINISHED);
      return;
  }
}

int32_t CWebDownloader::TransferWholeFile(uint64_t size) {
  BeginSegments(1);
  AbortSwitchHandle abortSwitch = platform::http::CreateAbortSwitch();
  auto segment = std::make_unique<DownloadSegment>(
      DownloadSegment{0, size - 1, size, m_strPrimaryUrl, OnSegmentProgress, abortSwitch.get()});
  platform::Thread segmentThread;
  if (segmentThread.Start(RunSegment, segment.get())) {
    segment.release();  // the segment thread owns it now
  } else {
    LogDownloadFailure(DownloadFailure::NotStarted, {"the system refused the transfer's thread"});
    DownloadStatus failed{STATUS_DOWNLOAD_FAILED, 0, 0};
    OnSegmentProgress(&failed);
  }
  WaitWatchingCancel(DoneEvent, *abortSwitch);
  // The segment has made its final report; all it does now is free its record.
  segmentThread.Join();
  return ReadStatus().state;
}

int32_t CWebDownloader::TransferFromFallback(int32_t failedState) {
  if (failedState != STATUS_DOWNLOAD_FAILED || m_strFallbackUrl.empty() ||
      m_strFallbackUrl == m_strPrimaryUrl || CancelEvent.IsSet()) {
    return failedState;
  }
  PublishState(STATUS_RECONNECTING);
  SwitchToFallback();
  LogDownloadStep({"the link failed for good: starting again from byte 0 with the default link"});
  const ProbeReply probe = ProbeWatchingCancel(m_strPrimaryUrl);
  const uint64_t size = probe.size;
  if (CancelEvent.IsSet()) {
    PublishState(STATUS_DOWNLOAD_CANCELLED);
    return STATUS_DOWNLOAD_CANCELLED;
  }
  if (size == 0) {
    LogNoSize(probe, "no size from the default link either");
    PublishState(STATUS_DOWNLOAD_FAILED);
    return STATUS_DOWNLOAD_FAILED;
  }
  if (!EmptyDestination()) {
    LogDownloadFailure(DownloadFailure::WriteFailed, {"the file could not be emptied for the default link"});
    PublishState(STATUS_DOWNLOAD_FAILED);
    return STATUS_DOWNLOAD_FAILED;
  }
  StoreStartedOver(size);
  return TransferWholeFile(size);
}

void CWebDownloader::StopAndJoin() {
  if (m_worker.WasResumed()) {
    // The owner ends only after a final state; a worker still running is told to stop.
    CancelEvent.Set();
    RunEvent.Set();
  }
  m_worker.Join();
  DiscardDestinationFile();  // the file of a worker that never ran
}
