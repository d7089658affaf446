// The read loop of one reply to a range request: reads in pieces of at most 4,096 bytes, stages
// them and writes them into the destination file in blocks of up to 40,960 bytes, reporting each
// read; holds while the owner asks so; gives up a connection that trickles too slowly to count.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "download/cancel_request.h"
#include "download/http_transfer.h"
#include "platform/http.h"
#include "platform/steady_clock.h"

class RangeReader {
 public:
  enum class End {
    Complete,   // every byte up to the end of the range is in the file
    Dropped,    // the connection failed, stalled, trickled or ended early: the rest may be asked again
    Failed,     // the file could not be written, or the body ran past the range
    Cancelled,  // the transfer is to stop
    Stopped,    // the progress callback said stop: no final report is to follow
  };

  // Reads bytes for positions `position` to `last` (inclusive).
  RangeReader(ICancelRequest& cancel, uint64_t position, uint64_t last, ProgressCallback progress);

  // Reads the reply's body to its end, then writes what is still staged (unless the file failed).
  // A connection lost after the last byte of the range has delivered it all: that is complete.
  End ReadAll(platform::http::Request& request);
  // The file position after the last byte written.
  uint64_t Position() const { return m_ullPosition; }
  // The end was Failed because the file could not be written (not because of the server).
  bool FileFailed() const { return m_bFileError; }

 private:
  End ReadLoop(platform::http::Request& request);
  bool WriteStaged();
  // While the owner holds the transfer, waits for it to go on; false when it is cancelled instead.
  bool WaitWhileHeld();
  // Counts `read` new bytes into the stall window; true when it passed with too few.
  bool Trickled(uint32_t read);

  ICancelRequest& m_cancel;
  uint64_t m_ullPosition;
  const uint64_t m_ullLast;
  ProgressCallback m_progress;
  std::array<uint8_t, 4096> m_read{};
  std::vector<uint8_t> m_stage;
  bool m_bFileError = false;
  platform::SteadyClock::time_point m_windowStart;
  uint64_t m_ullWindowBytes = 0;
};
