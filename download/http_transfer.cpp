// Size probe and ranged transfer over the http seam, writing through the destination file.
#include "download/http_transfer.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <vector>

#include "download/destination_file.h"
#include "platform/http.h"
#include "platform/steady_clock.h"
#include "platform/system.h"

namespace {

using namespace platform::http;
using Clock = platform::SteadyClock;

constexpr uint32_t kReadSize = 4096;
constexpr size_t kStageSize = 40960;
// The probe's length buffer holds 32 bytes: 15 UTF-16 units and the terminator.
constexpr size_t kMaxLengthText = 15;
// A server that sends nothing for this long is taken as gone.
constexpr auto kSilenceLimit = std::chrono::seconds(30);
// While held, the loop sleeps on RunEvent this long at most between looks at the cancel.
constexpr auto kHeldWait = std::chrono::milliseconds(100);
constexpr auto kCancelledReportDelay = std::chrono::milliseconds(500);

SessionHandle InternetSession;

// A connection and its request; members go in reverse order, so the request is closed first.
struct OpenedRequest {
  ConnectionHandle connection;
  RequestHandle request;
};

bool OpenHttpRequest(const std::u16string& url, const char16_t* verb,
                     std::initializer_list<const char16_t*> acceptTypes, uint32_t flags,
                     OpenedRequest& opened) {
  UrlParts parts;
  if (!InternetSession || !SplitUrl(url, parts)) return false;
  opened.connection = Connect(*InternetSession, parts);
  if (!opened.connection) return false;
  if (parts.scheme == Scheme::Https) flags |= REQUEST_SECURE;
  opened.request = OpenRequest(*opened.connection, verb, parts.path + parts.extra, acceptTypes, flags);
  return opened.request != nullptr;
}

// Reads a run of decimal digits from `text` at `pos`; nothing for no digits or an overflow.
std::optional<uint64_t> ReadDecimal(std::u16string_view text, size_t& pos) {
  size_t start = pos;
  uint64_t value = 0;
  while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
    uint64_t digit = text[pos] - u'0';
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
    ++pos;
  }
  if (pos == start) return std::nullopt;
  return value;
}

std::optional<uint64_t> ParseDecimal(std::u16string_view text) {
  size_t pos = 0;
  std::optional<uint64_t> value = ReadDecimal(text, pos);
  if (pos != text.size()) return std::nullopt;
  return value;
}

// "bytes first-last/total": true when the range starts at `first` and the total is `total`.
bool ContentRangeMatches(std::u16string_view text, uint64_t first, uint64_t total) {
  constexpr std::u16string_view kUnit = u"bytes";
  if (text.size() < kUnit.size()) return false;
  for (size_t i = 0; i < kUnit.size(); ++i) {
    if ((text[i] | 0x20) != kUnit[i]) return false;
  }
  size_t pos = kUnit.size();
  while (pos < text.size() && text[pos] == u' ') ++pos;
  std::optional<uint64_t> from = ReadDecimal(text, pos);
  if (!from || pos >= text.size() || text[pos++] != u'-') return false;
  std::optional<uint64_t> to = ReadDecimal(text, pos);
  if (!to || pos >= text.size() || text[pos++] != u'/') return false;
  std::optional<uint64_t> size = ReadDecimal(text, pos);
  return size && pos == text.size() && *from == first && *to >= *from && *size == total;
}

// Only the bytes asked for are ever written: a 206 for this range of this file, or, for a range
// from the first byte, a 200 carrying the whole file. Anything else (an error page, a different
// file) ends the range before a byte is written.
bool RangeReplyAccepted(Request& request, uint64_t first, uint64_t total) {
  uint32_t status = 0;
  if (!QueryStatusCode(request, status)) return false;
  std::u16string text;
  if (status == 206) {
    return QueryHeader(request, Header::ContentRange, text) && ContentRangeMatches(text, first, total);
  }
  if (status == 200 && first == 0) {
    return QueryHeader(request, Header::ContentLength, text) && ParseDecimal(text) == total;
  }
  return false;
}

std::u16string RangeHeaderLine(uint64_t first, uint64_t last) {
  std::string line = "Range:bytes=" + std::to_string(first) + "-" + std::to_string(last);
  return std::u16string(line.begin(), line.end());
}

// The read loop of one range: reads in pieces of at most kReadSize, stages them and writes them
// into the destination file in blocks of up to kStageSize.
class RangeReader {
 public:
  enum class End { Finished, Stopped };

  RangeReader(ICancelRequest& cancel, uint64_t first, uint64_t last, ProgressCallback progress)
      : m_cancel(cancel), m_ullPosition(first), m_ullLength(last - first + 1), m_progress(progress) {
    m_stage.reserve(kStageSize);
  }

  End ReadAll(Request& request);
  // Writes what is still staged, unless the file already failed.
  void FinishWrites() {
    if (!m_bFileError) WriteStaged();
  }
  bool Complete() const { return !m_bOverrun && m_ullWritten == m_ullLength; }

 private:
  bool WriteStaged();
  // Waits for RunEvent a short while; true while the transfer is to hold.
  bool HoldIfPaused();

  ICancelRequest& m_cancel;
  uint64_t m_ullPosition;
  const uint64_t m_ullLength;
  ProgressCallback m_progress;
  uint64_t m_ullWritten = 0;
  std::array<uint8_t, kReadSize> m_read{};
  std::vector<uint8_t> m_stage;
  bool m_bFileError = false;
  bool m_bOverrun = false;
};

bool RangeReader::WriteStaged() {
  if (m_stage.empty()) return true;
  bool written;
  {
    std::lock_guard lock(FileLock);
    written = DestinationFile.WriteAt(m_ullPosition, m_stage.data(), m_stage.size());
  }
  if (!written) {
    m_bFileError = true;
    return false;
  }
  m_ullPosition += m_stage.size();
  m_ullWritten += m_stage.size();
  m_stage.clear();
  return true;
}

bool RangeReader::HoldIfPaused() {
  if (!m_cancel.IsPaused()) return false;
  RunEvent.WaitFor(kHeldWait);
  return true;
}

RangeReader::End RangeReader::ReadAll(Request& request) {
  DownloadStatus report;
  Clock::time_point lastData = Clock::now();
  for (;;) {
    uint32_t available = 0;
    Availability availability = QueryDataAvailable(request, available);
    if (availability == Availability::Failed || m_cancel.IsCancelled()) break;
    if (HoldIfPaused()) {
      lastData = Clock::now();  // a hold is not the server's silence
      continue;
    }
    if (availability == Availability::Silent) {
      if (Clock::now() - lastData > kSilenceLimit) break;
      continue;
    }
    if (available == 0) break;  // the body has ended
    lastData = Clock::now();

    uint32_t read = 0;
    if (!ReadData(request, m_read.data(), std::min(available, kReadSize), read) || read == 0) break;
    if (m_ullWritten + m_stage.size() + read > m_ullLength) {
      m_bOverrun = true;  // the body runs past the range: nothing beyond it is written
      break;
    }
    report.state = STATUS_DOWNLOADING;
    report.received = read;
    m_stage.insert(m_stage.end(), m_read.begin(), m_read.begin() + read);
    // A short read usually means the data paused or ended: write at once.
    if (m_stage.size() + kReadSize > kStageSize || read < kReadSize) {
      if (!WriteStaged()) break;
    }
    if (m_progress(&report) != 0) return End::Stopped;
  }
  return End::Finished;
}

}  // namespace

bool OpenInternetSession() {
  if (!InternetSession) InternetSession = OpenSession(u"Kestrix_WebInstaller");
  return InternetSession != nullptr;
}

void CloseInternetSession() { InternetSession.reset(); }

uint64_t ProbeSize(const std::u16string& url) {
  OpenedRequest opened;
  if (!OpenHttpRequest(url, nullptr, {u"application/xml", u"*/*"}, REQUEST_RELOAD | REQUEST_NO_UI, opened)) {
    return 0;
  }
  uint32_t status = 0;
  if (!SendRequest(*opened.request) || !QueryStatusCode(*opened.request, status)) return 0;
  // Every status from 200 to 500 but 404 may carry the size.
  if (status == 404 || status < 200 || status > 500) return 0;
  std::u16string text;
  if (!QueryHeader(*opened.request, Header::ContentLength, text) || text.size() > kMaxLengthText) {
    return 0;
  }
  return ParseDecimal(text).value_or(0);
}

void DownloadRange(ICancelRequest& cancel, const std::u16string& url, uint64_t first, uint64_t last,
                   uint64_t total, ProgressCallback progress) {
  bool complete = false;
  if (first <= last && last < total) {
    OpenedRequest opened;
    constexpr uint32_t kFlags =
        REQUEST_RELOAD | REQUEST_NO_CACHE_WRITE | REQUEST_KEEP_CONNECTION | REQUEST_NO_UI;
    if (OpenHttpRequest(url, u"GET", {u"*/*"}, kFlags, opened) &&
        AddRequestHeader(*opened.request, RangeHeaderLine(first, last)) && SendRequest(*opened.request) &&
        !cancel.IsCancelled() && RangeReplyAccepted(*opened.request, first, total)) {
      RangeReader reader(cancel, first, last, progress);
      if (reader.ReadAll(*opened.request) == RangeReader::End::Stopped) return;
      reader.FinishWrites();
      complete = reader.Complete();
    }
  }  // the request and the connection are closed here, in that order

  DownloadStatus report;
  if (cancel.IsCancelled()) {
    platform::SleepFor(static_cast<uint32_t>(kCancelledReportDelay.count()));
    report.state = STATUS_DOWNLOAD_CANCELLED;
  } else {
    report.state = complete ? STATUS_DOWNLOADDONE : STATUS_DOWNLOAD_FAILED;
  }
  report.received = 0;
  progress(&report);
}
