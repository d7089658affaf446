// The ranged transfer: one request for the range, and after a lost connection further requests for
// the rest, each checked against the first reply so that two versions of a file are never joined.
#include <algorithm>
#include <mutex>
#include <optional>

#include "download/destination_file.h"
#include "download/download_log.h"
#include "download/http_request.h"
#include "download/http_transfer.h"
#include "download/range_reader.h"
#include "download/reply_fields.h"
#include "download/retry_schedule.h"
#include "platform/system.h"
#include "platform/utf.h"

namespace {

using namespace platform::http;
using End = RangeReader::End;
using platform::JoinUtf8;

constexpr uint32_t kCancelledReportDelayMs = 500;
// A wait between tries looks at the cancel this often.
constexpr uint32_t kWaitSliceMs = 50;
constexpr uint32_t kRangeFlags =
    REQUEST_RELOAD | REQUEST_NO_CACHE_WRITE | REQUEST_KEEP_CONNECTION | REQUEST_NO_UI;

// One request of the transfer as a line of the log, written when the try ends, however it ends.
class RequestNote {
 public:
  RequestNote() = default;
  RequestNote(const RequestNote&) = delete;
  RequestNote& operator=(const RequestNote&) = delete;
  ~RequestNote() { LogDownloadStep({m_line}, DownloadStep::TransferRequest); }

  void Add(std::initializer_list<platform::TextPiece> parts) {
    for (const platform::TextPiece& part : parts) part.AppendTo(m_line);
  }

 private:
  std::string m_line;
};

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
  End TryRequest(RequestNote& note, uint64_t from, bool resuming);
  Verdict JudgeReply(Request& request, uint64_t from, RequestNote& note);
  Verdict JudgeWholeFile(Request& request);
  Verdict JudgeResumed(Request& request);
  Verdict JudgePassingFailure(Request& request, uint32_t status);
  // The whole file from byte 0 again, `total` bytes long: the file is emptied and the bytes
  // counted so far are forgotten. `why` is for the log.
  Verdict StartOver(uint64_t total, std::string_view why);
  // Notes why the transfer fails for good, for the log; gives `result` back.
  template <typename Result>
  Result Refuse(Result result, DownloadFailure failure, std::string why) {
    m_failure = failure;
    m_failureLine = std::move(why);
    return result;
  }
  void LogEndOfTries(int fruitless);
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
  std::string m_dropReason;  // why the last try was dropped, for the log
  DownloadFailure m_failure = DownloadFailure::TransferRefused;
  std::string m_failureLine;
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
    if (end != End::Dropped) {
      LogDownloadFailure(m_failure, {m_failureLine});
      return STATUS_DOWNLOAD_FAILED;
    }
    if (!MayTryAgain(furthestBefore, fruitless, waits)) {
      LogEndOfTries(fruitless);
      return STATUS_DOWNLOAD_FAILED;
    }
    if (!Report(STATUS_RECONNECTING)) return std::nullopt;
    const std::chrono::milliseconds wait = RetryWait(waits++, m_retryAfter);
    LogDownloadStep({"retry in ", wait.count() / 1000, " s (", m_dropReason, "; ", fruitless, " of ",
                     kMaxFruitlessTries, " tries in a row without a new byte)"});
    if (!WaitBeforeRetry(wait)) return STATUS_DOWNLOAD_CANCELLED;
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

void RangeTransfer::LogEndOfTries(int fruitless) {
  if (fruitless >= kMaxFruitlessTries) {
    LogDownloadFailure(DownloadFailure::FruitlessTries,
                       {kMaxFruitlessTries, " tries in a row brought no new byte: ", m_dropReason});
  } else {
    LogDownloadFailure(DownloadFailure::FruitlessTries, {kMaxTriesPerMilestone, " tries brought less than ",
                                                         kTriesMilestone, " new bytes: ", m_dropReason});
  }
}

End RangeTransfer::TryOnce() {
  m_retryAfter.reset();
  m_dropReason.clear();
  // Without a validator the rest cannot be joined safely to what is there: ask from the start.
  const bool resuming = m_next > m_first && !m_validator.empty();
  const uint64_t from = resuming ? m_next : m_first;
  RequestNote note;
  note.Add({"GET ", m_url, " bytes ", from, "-", m_last});
  if (resuming) note.Add({" If-Range ", m_validator});
  const End end = TryRequest(note, from, resuming);
  if (end == End::Dropped) note.Add({", dropped: ", m_dropReason});
  if (end == End::Failed) note.Add({", failed: ", m_failureLine});
  return end;
}

End RangeTransfer::TryRequest(RequestNote& note, uint64_t from, bool resuming) {
  constexpr DownloadFailure kNotStarted = DownloadFailure::NotStarted;
  OpenedRequest opened;
  if (!OpenHttpRequest(m_url, u"GET", {u"*/*"}, kRangeFlags, m_abortSwitch, opened))
    return Refuse(End::Failed, kNotStarted, "the request could not be opened");
  Request& request = *opened.request;
  if (!AddRequestHeader(request, RangeHeaderLine(from, m_last)))
    return Refuse(End::Failed, kNotStarted, "the request could not be made");
  if (resuming && !AddRequestHeader(request, u"If-Range:" + m_validator))
    return Refuse(End::Failed, kNotStarted, "the request could not be made");
  switch (SendRequest(request)) {
    case SendResult::Replied:
      break;
    case SendResult::Failed:
      m_dropReason = "no reply";
      return End::Dropped;
    case SendResult::CertificateRefused:
      return Refuse(End::Failed, DownloadFailure::CertificateRefused,
                    "the server's certificate was not accepted (name, dates or issuer)");
    case SendResult::RedirectRefused:
      return Refuse(End::Failed, DownloadFailure::RedirectRefused,
                    "redirected from https to http, or too many times");
  }
  std::vector<std::u16string> hops;
  if (QueryRedirects(request, hops)) {
    for (size_t hop = 0; hop < hops.size(); ++hop) note.Add({hop ? " -> " : ", redirected to ", hops[hop]});
  }
  if (m_cancel.IsCancelled()) return End::Cancelled;
  switch (JudgeReply(request, from, note)) {
    case Verdict::Read:
      break;
    case Verdict::Dropped:
      return End::Dropped;
    case Verdict::Failed:
      return End::Failed;
  }
  if (m_bStopped) return End::Stopped;
  note.Add({m_validator.empty() ? ", no validator" : ", validator ", m_validator});
  RangeReader reader(m_cancel, m_next, m_last, m_progress);
  const uint64_t before = m_next;
  End end = reader.ReadAll(request);
  m_next = reader.Position();
  m_furthest = std::max(m_furthest, m_next);
  note.Add({", ", m_next - before, " bytes received"});
  if (end == End::Dropped) m_dropReason = JoinUtf8({"the connection was lost, stalled or ended early at byte ", m_next});
  if (end == End::Failed) {
    if (reader.FileFailed())
      return Refuse(end, DownloadFailure::WriteFailed, "the file could not be written (disk full or locked)");
    return Refuse(end, DownloadFailure::RangeRefused, "the server sent more bytes than asked for");
  }
  return end;
}  // the request and the connection are closed here, in that order

// Only the bytes asked for are ever written: a 206 for the rest of this version of the file, or a
// 200 carrying a whole file where that is what is wanted. Anything else (an error page, another
// file, a range that does not fit) ends the transfer before a byte is written.
RangeTransfer::Verdict RangeTransfer::JudgeReply(Request& request, uint64_t from, RequestNote& note) {
  uint32_t status = 0;
  if (!QueryStatusCode(request, status)) {
    m_dropReason = "the reply had no status";
    return Verdict::Dropped;
  }
  note.Add({": status ", status});
  if (status == 206) {
    std::optional<std::u16string> text = ReplyHeader(request, Header::ContentRange);
    std::optional<ContentRange> range = text ? ParseContentRange(*text) : std::nullopt;
    if (!range || !range->total || range->first != from || (from != m_first && *range->total != m_total)) {
      return Refuse(Verdict::Failed, DownloadFailure::RangeRefused,
                    JoinUtf8({"the reply's Content-Range \"", text.value_or(u""), "\" does not fit the range asked for"}));
    }
    if (from != m_first) return JudgeResumed(request);
    KeepValidator(request);
    // A file of another size than the one probed (or than the last try's) was replaced meanwhile:
    // this reply starts it again; what it lacks is asked for like the rest after a drop.
    if (*range->total != m_total) return StartOver(*range->total, "the file's size changed on the server");
    return m_next == m_first ? Verdict::Read
                             : StartOver(m_total, "the first reply had no validator, so the rest cannot be joined");
  }
  if (status == 200) return JudgeWholeFile(request);
  if (IsPassingFailureStatus(status)) return JudgePassingFailure(request, status);
  return Refuse(Verdict::Failed, DownloadFailure::TransferRefused,
                JoinUtf8({"the server answered the transfer with status ", status}));
}

// A resumed 206 continues the file at the same position only if it is the same version: a server
// that ignores If-Range answers with the rest of whatever it holds now. Another validator (or
// none) starts the download again from byte 0.
RangeTransfer::Verdict RangeTransfer::JudgeResumed(Request& request) {
  if (ValidatorOf(request) == m_validator) return Verdict::Read;
  if (StartOver(m_total, "the rest came from another version of the file") != Verdict::Read) return Verdict::Failed;
  m_validator.clear();
  m_dropReason = "the rest came from another version of the file";
  return Verdict::Dropped;  // this reply holds only the rest: the next try asks from byte 0
}

// "Not now" from the server, at the first request as at a later one: the series of tries waits
// (as long as a Retry-After asks, up to a minute) and asks again.
RangeTransfer::Verdict RangeTransfer::JudgePassingFailure(Request& request, uint32_t status) {
  const std::optional<std::u16string> retryAfter = ReplyHeader(request, Header::RetryAfter);
  if (retryAfter) {
    m_retryAfter = ParseRetryAfter(*retryAfter, platform::UnixTimeSeconds());
  }
  m_dropReason = JoinUtf8({"status ", status, retryAfter ? ", Retry-After " : "", retryAfter.value_or(u"")});
  return Verdict::Dropped;
}

// A 200 is the whole file. To the first request for a range from byte 0 it should be the file that
// was probed; another length, or a 200 to a later request, means the file changed on the server (or
// could not be resumed), and the download starts again from byte 0 with the new length.
RangeTransfer::Verdict RangeTransfer::JudgeWholeFile(Request& request) {
  constexpr DownloadFailure kRange = DownloadFailure::RangeRefused;
  if (m_first != 0) return Refuse(Verdict::Failed, kRange, "the server sent the whole file for a part of it");
  std::optional<std::u16string> text = ReplyHeader(request, Header::ContentLength);
  std::optional<uint64_t> length = text ? ParseDecimal(*text) : std::nullopt;
  if (!length || *length == 0) return Refuse(Verdict::Failed, kRange, "the whole file came without a length");
  KeepValidator(request);
  if (!m_bRetry && *length == m_total && m_next == m_first) return Verdict::Read;
  return StartOver(*length, "the server sent the whole file (it changed on the server, or cannot resume)");
}

RangeTransfer::Verdict RangeTransfer::StartOver(uint64_t total, std::string_view why) {
  if (m_first != 0) {  // only a transfer of the whole file can start it again
    return Refuse(Verdict::Failed, DownloadFailure::RangeRefused, "a part of the file cannot start again");
  }
  {
    std::lock_guard lock(FileLock);
    if (!DestinationFile.Truncate())
      return Refuse(Verdict::Failed, DownloadFailure::WriteFailed, "the file could not be emptied to start again");
  }
  LogDownloadStep({"starting again from byte 0, ", total, " bytes: ", why});
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
