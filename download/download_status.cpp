// The shared status record and the aggregation of the segments' progress reports.
#include "download/download_status.h"

platform::Mutex StatusLock;
DownloadStatus SharedStatus;
int32_t ActiveSegments = 0;
bool SegmentFailed = false;

Event CancelEvent(Event::Reset::Manual, false);
Event RunEvent(Event::Reset::Manual, true);
Event DoneEvent(Event::Reset::Automatic, false);

void ResetDownloadShared() {
  {
    std::lock_guard lock(StatusLock);
    SharedStatus = DownloadStatus{};
    ActiveSegments = 0;
    SegmentFailed = false;
  }
  CancelEvent.Reinitialize(false);
  RunEvent.Reinitialize(true);
  DoneEvent.Reinitialize(false);
}

void PublishStatus(const DownloadStatus& status) {
  std::lock_guard lock(StatusLock);
  SharedStatus = status;
}

void PublishState(int32_t state) {
  std::lock_guard lock(StatusLock);
  SharedStatus.state = state;
}

DownloadStatus ReadStatus() {
  std::lock_guard lock(StatusLock);
  return SharedStatus;
}

namespace {

// Takes the reporting segment off the active count; the last one stores the final state and
// releases the worker. Called under StatusLock.
void FinishSegmentLocked(int32_t finalState) {
  if (--ActiveSegments == 0) {
    SharedStatus.state = finalState;
    DoneEvent.Set();
  }
}

}  // namespace

int OnSegmentProgress(const DownloadStatus* report) {
  if (report == nullptr) return 0;
  std::lock_guard lock(StatusLock);
  if (SegmentFailed) {
    // Another segment failed: this one stops now, its bytes are not counted, and any segment
    // still running is told to stop as well.
    FinishSegmentLocked(STATUS_DOWNLOAD_FAILED);
    if (report->state != STATUS_DOWNLOAD_CANCELLED && report->state != STATUS_DOWNLOAD_FAILED) {
      CancelEvent.Set();
    }
    return 1;
  }
  SharedStatus.received += report->received;
  switch (report->state) {
    case STATUS_DOWNLOADDONE:
    case STATUS_DOWNLOAD_CANCELLED:
      FinishSegmentLocked(report->state);
      break;
    case STATUS_DOWNLOAD_FAILED:
      SegmentFailed = true;
      FinishSegmentLocked(STATUS_DOWNLOAD_FAILED);
      break;
    default:
      break;
  }
  return 0;
}
