// The download's shared status record, its lock, the segment bookkeeping and the three events that
// steer the engine. Process-wide: the UI thread, the worker and the segment thread meet only here.
#pragma once

#include <cstdint>
#include <mutex>  // std::lock_guard

#include "download/event.h"
#include "platform/thread.h"

enum : int32_t {
  STATUS_INIT = 1,
  STATUS_DOWNLOADING = 2,
  STATUS_DOWNLOADDONE = 3,
  STATUS_DOWNLOAD_CANCELLING = 4,  // shown by the owner only; never stored
  STATUS_DOWNLOAD_CANCELLED = 5,
  STATUS_DOWNLOAD_FAILED = 6,
  STATUS_CLEANUP_FILES = 7,
  STATUS_PREPARE_INSTALL = 8,
  STATUS_INSTALLING = 9,  // never stored by the engine
  STATUS_FINISHED = 10,
  STATUS_VERIFYING = 11,  // the finished file is being checked before it may be launched
};

// The shared record, and also a segment's progress report (then `received` counts the bytes since
// the segment's previous report and `total` is unused).
struct DownloadStatus {
  int32_t state = STATUS_INIT;
  uint64_t received = 0;
  uint64_t total = 0;
};

extern platform::Mutex StatusLock;
// Guarded by StatusLock, as are ActiveSegments and SegmentFailed.
extern DownloadStatus SharedStatus;
extern int32_t ActiveSegments;
extern bool SegmentFailed;

extern Event CancelEvent;  // manual reset, initially clear: a cancel is final
extern Event RunEvent;     // manual reset, initially set: clear while the owner's question is open
extern Event DoneEvent;    // automatic reset: the last active segment has finished

// Puts the record, the counters and the events back to their initial values; the engine does
// this when it is set up for a download.
void ResetDownloadShared();

// Stores a whole record under the lock.
void PublishStatus(const DownloadStatus& status);
// Stores a new state and keeps the byte counts, in one holding of the lock.
void PublishState(int32_t state);
// A copy of the record, taken under the lock.
DownloadStatus ReadStatus();

// The progress callback of every range transfer: 0 to go on, 1 to stop now.
int OnSegmentProgress(const DownloadStatus* report);
