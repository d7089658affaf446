// The ranged transfer: one request for the range, and after a lost connection further requests for
// the rest, each checked against the first reply so that two versions of a file are never joined.
#include <algorithm>
#include <mutex>
#include <optional>

#include "download/destination_file.h"
#include "download/http_request.h"
#include "download/http_transfer.h"
#include "download/range_reader.h"
#include "download/reply_fields.h"
#include "download/retry_schedule.h"
#include "platform/system.h"

namespace {

using namespace platform::http;
using End = RangeReader::End;

constexpr uint32_t kCancelledReportDelayMs = 500;
// A wait between tries looks at the cancel this often.
constexpr uint32_t kWaitSliceMs = 50;
constexpr uint32_t kRangeFlags =
    REQUEST_RELOAD | REQUEST_NO_CACHE_WRITE | REQUEST_KEEP_CONNECTION | REQUEST_NO_UI;

class RangeTransfer {
 public:
  RangeTransfer(ICancelRequest& cancel, const std::u16string& url, uint64_t first, uint64_t last,
                uint64_t total, ProgressCallback progress, AbortSwitch* abortSwitch)
      : m_cancel(cancel),
        m_url(url),
        m_first(first),
        m_last(last),
        m_total(total),
        m_progress(progress),
        m_abortSwitch(abortSwitch),
        m_next(first),
        m_furthest(first),
        m_milestone(first) {}

  // The final state: 3, 5 or 6; nothing when the progress callback said stop.
  std::optional<int32_t> Run();

 private:
  enum class Verdict { Read, Dropped, Failed };

  End TryOnce();
  Verdict JudgeReply(Request& request, uint64_t from);
  Verdict JudgeWholeFile(Request& request);
  Verdict JudgeResumed(Request& request);
  Verdict JudgePassingFailure(Request& request);
  // The whole file from byte 0 again, `total` bytes long: the file is emptied and the bytes
  // counted so far are forgotten.
  Verdict StartOver(uint64_t total);
  // True when the series of tries is to go on after a try that ended in a drop.
  bool MayTryAgain(uint64_t furthestBefore, int& fruitless, int& waits);
  static std::u16string ValidatorOf(Request& request) {
    return ResumeValidator(ReplyHeader(request, Header::ETag), ReplyHeader(request, Header::LastModified));
  }
  void KeepValidator(Request& request) { m_validator = ValidatorOf(request); }
  bool Report(int32_t state) {
    DownloadStatus report{state, 0, 0};
    return m_progress(&report) == 0;
  }
  // Waits `wait`, and longer while the owner holds the transfer; false when cancelled.
  bool WaitBeforeRetry(std::chrono::milliseconds wait);

  ICancelRequest& m_cancel;
  const std::u16string& m_url;
  const uint64_t m_first;
  uint64_t m_last;
  uint64_t m_total;
  ProgressCallback m_progress;
  AbortSwitch* m_abortSwitch;
  uint64_t m_next;             // the next byte to fetch
  uint64_t m_furthest;         // the furthest position any try reached
  uint64_t m_milestone;        // m_furthest when the count of tries per milestone last began
  int m_triesSinceMilestone = 0;
  std::u16string m_validator;  // If-Range of the version being fetched; empty: it cannot be resumed
  bool m_bRetry = false;       // a try after the first
  bool m_bStopped = false;     // the progress callback said stop
  std::optional<uint64_t> m_retryAfter;
};

std::optional<int32_t> RangeTransfer::Run() {
  int fruitless = 0;
  int waits = 0;
  for (;;) {
    const uint64_t furthestBefore = m_furthest;
    End end = TryOnce();
    if (m_bStopped || end == End::Stopped) return std::nullopt;
    if (m_cancel.IsCancelled()) return STATUS_DOWNLOAD_CANCELLED;
    if (end == End::Complete) return STATUS_DOWNLOADDONE;
    if (end != End::Dropped || !MayTryAgain(furthestBefore, fruitless, waits)) return STATUS_DOWNLOAD_FAILED;
    if (!Report(STATUS_RECONNECTING)) return std::nullopt;
    if (!WaitBeforeRetry(RetryWait(waits++, m_retryAfter))) return STATUS_DOWNLOAD_CANCELLED;
    m_bRetry = true;
  }
}

// Five tries in a row without a new byte end the series, and so do twenty tries while the furthest
// byte grows by less than a mebibyte: a server that feeds each connection a few bytes never keeps
// the download going for ever.
bool RangeTransfer::MayTryAgain(uint64_t furthestBefore, int& fruitless, int& waits) {
  if (m_furthest >= m_milestone + kTriesMilestone) {
    m_milestone = m_furthest;
    m_triesSinceMilestone = 0;
  }
  if (++m_triesSinceMilestone >= kMaxTriesPerMilestone) return false;
  if (m_furthest > furthestBefore) {
    fruitless = 0;
    waits = 0;
    return true;
  }
  return ++fruitless < kMaxFruitlessTries;
}

End RangeTransfer::TryOnce() {
  m_retryAfter.reset();
  OpenedRequest opened;
  if (!OpenHttpRequest(m_url, u"GET", {u"*/*"}, kRangeFlags, m_abortSwitch, opened)) return End::Failed;
  Request& request = *opened.request;
  // Without a validator the rest cannot be joined safely to what is there: ask from the start.
  const bool resuming = m_next > m_first && !m_validator.empty();
  const uint64_t from = resuming ? m_next : m_first;
  if (!AddRequestHeader(request, RangeHeaderLine(from, m_last))) return End::Failed;
  if (resuming && !AddRequestHeader(request, u"If-Range:" + m_validator)) return End::Failed;
  switch (SendRequest(request)) {
    case SendResult::Replied:
      break;
    case SendResult::Failed:
      return End::Dropped;
    case SendResult::CertificateRefused:
    case SendResult::RedirectRefused:
      return End::Failed;
  }
  if (m_cancel.IsCancelled()) return End::Cancelled;
  switch (JudgeReply(request, from)) {
    case Verdict::Read:
      break;
    case Verdict::Dropped:
      return End::Dropped;
    case Verdict::Failed:
      return End::Failed;
  }
  if (m_bStopped) return End::Stopped;
  RangeReader reader(m_cancel, m_next, m_last, m_progress);
  End end = reader.ReadAll(request);
  m_next = reader.Position();
  m_furthest = std::max(m_furthest, m_next);
  return end;
}  // the request and the connection are closed here, in that order

// Only the bytes asked for are ever written: a 206 for the rest of this version of the file, or a
// 200 carrying a whole file where that is what is wanted. Anything else (an error page, another
// file, a range that does not fit) ends the transfer before a byte is written.
RangeTransfer::Verdict RangeTransfer::JudgeReply(Request& request, uint64_t from) {
  uint32_t status = 0;
  if (!QueryStatusCode(request, status)) return Verdict::Dropped;
  if (status == 206) {
    std::optional<std::u16string> text = ReplyHeader(request, Header::ContentRange);
    std::optional<ContentRange> range = text ? ParseContentRange(*text) : std::nullopt;
    if (!range || !range->total || range->first != from) return Verdict::Failed;
    if (from != m_first) return *range->total == m_total ? JudgeResumed(request) : Verdict::Failed;
    KeepValidator(request);
    // A file of another size than the one probed (or than the last try's) was replaced meanwhile:
    // this reply starts it again; what it lacks is asked for like the rest after a drop.
    if (*range->total != m_total) return StartOver(*range->total);
    return m_next == m_first ? Verdict::Read : StartOver(m_total);
  }
  if (status == 200) return JudgeWholeFile(request);
  if (IsPassingFailureStatus(status)) return JudgePassingFailure(request);
  return Verdict::Failed;
}

// A resumed 206 continues the file at the same position only if it is the same version: a server
// that ignores If-Range answers with the rest of whatever it holds now. Another validator (or
// none) starts the download again from byte 0.
RangeTransfer::Verdict RangeTransfer::JudgeResumed(Request& request) {
  if (ValidatorOf(request) == m_validator) return Verdict::Read;
  if (StartOver(m_total) != Verdict::Read) return Verdict::Failed;
  m_validator.clear();
  return Verdict::Dropped;  // this reply holds only the rest: the next try asks from byte 0
}

// "Not now" from the server, at the first request as at a later one: the series of tries waits
// (as long as a Retry-After asks, up to a minute) and asks again.
RangeTransfer::Verdict RangeTransfer::JudgePassingFailure(Request& request) {
  if (std::optional<std::u16string> retryAfter = ReplyHeader(request, Header::RetryAfter)) {
    m_retryAfter = ParseRetryAfter(*retryAfter, platform::UnixTimeSeconds());
  }
  return Verdict::Dropped;
}

// A 200 is the whole file. To the first request for a range from byte 0 it should be the file that
// was probed; another length, or a 200 to a later request, means the file changed on the server (or
// could not be resumed), and the download starts again from byte 0 with the new length.
RangeTransfer::Verdict RangeTransfer::JudgeWholeFile(Request& request) {
  if (m_first != 0) return Verdict::Failed;
  std::optional<std::u16string> text = ReplyHeader(request, Header::ContentLength);
  std::optional<uint64_t> length = text ? ParseDecimal(*text) : std::nullopt;
  if (!length || *length == 0) return Verdict::Failed;
  KeepValidator(request);
  if (!m_bRetry && *length == m_total && m_next == m_first) return Verdict::Read;
  return StartOver(*length);
}

RangeTransfer::Verdict RangeTransfer::StartOver(uint64_t total) {
  if (m_first != 0) return Verdict::Failed;  // only a transfer of the whole file can start it again
  {
    std::lock_guard lock(FileLock);
    if (!DestinationFile.Truncate()) return Verdict::Failed;
  }
  m_total = total;
  m_last = total - 1;
  m_next = 0;
  DownloadStatus report{STATUS_DOWNLOADING, 0, total};
  m_bStopped = m_progress(&report) != 0;
  return Verdict::Read;
}

bool RangeTransfer::WaitBeforeRetry(std::chrono::milliseconds wait) {
  for (auto waited = std::chrono::milliseconds(0);; waited += std::chrono::milliseconds(kWaitSliceMs)) {
    if (m_cancel.IsCancelled()) return false;
    if (waited >= wait && !m_cancel.IsPaused()) return true;
    platform::SleepFor(kWaitSliceMs);
  }
}

}  // namespace

void DownloadRange(ICancelRequest& cancel, const std::u16string& url, uint64_t first, uint64_t last,
                   uint64_t total, ProgressCallback progress, AbortSwitch* abortSwitch) {
  std::optional<int32_t> state = STATUS_DOWNLOAD_FAILED;
  if (first <= last && last < total) {
    state = RangeTransfer(cancel, url, first, last, total, progress, abortSwitch).Run();
    if (!state) return;  // the aggregation has counted this segment out already
  }
  DownloadStatus report;
  if (cancel.IsCancelled()) {
    platform::SleepFor(kCancelledReportDelayMs);
    report.state = STATUS_DOWNLOAD_CANCELLED;
  } else {
    report.state = *state;
  }
  report.received = 0;
  progress(&report);
}
