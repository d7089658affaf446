// The read loop of one reply to a range request.
#include "download/range_reader.h"

#include <algorithm>
#include <chrono>
#include <mutex>

#include "download/destination_file.h"
#include "download/retry_schedule.h"

namespace {

using namespace platform::http;

constexpr uint32_t kReadSize = 4096;
constexpr size_t kStageSize = 40960;
// While held, the loop waits on RunEvent this long at most between looks at the cancel.
constexpr auto kHeldWait = std::chrono::milliseconds(100);

}  // namespace

RangeReader::RangeReader(ICancelRequest& cancel, uint64_t position, uint64_t last, ProgressCallback progress)
    : m_cancel(cancel), m_ullPosition(position), m_ullLast(last), m_progress(progress) {
  m_stage.reserve(kStageSize);
}

RangeReader::End RangeReader::ReadAll(Request& request) {
  End end = ReadLoop(request);
  if (end == End::Stopped) return end;
  if (!m_bFileError && !WriteStaged()) end = End::Failed;
  if (m_cancel.IsCancelled()) return End::Cancelled;
  const bool allThere = m_ullPosition == m_ullLast + 1;
  if (end == End::Complete && !allThere) return End::Dropped;  // the body ended early
  if (end == End::Dropped && allThere) return End::Complete;   // lost only after the last byte
  return end;
}

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
  m_stage.clear();
  return true;
}

bool RangeReader::WaitWhileHeld() {
  bool held = false;
  while (m_cancel.IsPaused()) {
    if (m_cancel.IsCancelled()) return false;
    held = true;
    RunEvent.WaitFor(kHeldWait);
  }
  if (held) {  // time spent held is no time for the server to send in
    m_windowStart = platform::SteadyClock::now();
    m_ullWindowBytes = 0;
  }
  return !m_cancel.IsCancelled();
}

// The window begins again each time the minimum has come in: a connection stalls once the stall
// window passes without bringing the next kStallMinimumBytes.
bool RangeReader::Trickled(uint32_t read) {
  m_ullWindowBytes += read;
  const auto now = platform::SteadyClock::now();
  if (m_ullWindowBytes >= kStallMinimumBytes) {
    m_windowStart = now;
    m_ullWindowBytes = 0;
    return false;
  }
  return now - m_windowStart >= kStallWindow;
}

RangeReader::End RangeReader::ReadLoop(Request& request) {
  const uint64_t length = m_ullLast + 1 - m_ullPosition;
  uint64_t readSoFar = 0;
  DownloadStatus report;
  m_windowStart = platform::SteadyClock::now();
  for (;;) {
    // Nothing is read while held; a wait for data (up to the stall limit) never starts then.
    if (!WaitWhileHeld()) return End::Cancelled;
    uint32_t available = 0;
    if (QueryDataAvailable(request, available) == Availability::Failed) return End::Dropped;
    if (m_cancel.IsCancelled()) return End::Cancelled;
    if (available == 0) return End::Complete;  // the body has ended

    uint32_t read = 0;
    if (!ReadData(request, m_read.data(), std::min(available, kReadSize), read) || read == 0) {
      return End::Dropped;
    }
    if (readSoFar + read > length) return End::Failed;  // nothing beyond the range is written
    readSoFar += read;
    report.state = STATUS_DOWNLOADING;
    report.received = read;
    m_stage.insert(m_stage.end(), m_read.begin(), m_read.begin() + read);
    // A short read usually means the data paused or ended: write at once.
    if (m_stage.size() + kReadSize > kStageSize || read < kReadSize) {
      if (!WriteStaged()) return End::Failed;
    }
    if (m_progress(&report) != 0) return End::Stopped;
    if (Trickled(read)) return WriteStaged() ? End::Dropped : End::Failed;
  }
}
