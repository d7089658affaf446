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

void BeginSegments(int32_t count) {
  std::lock_guard lock(StatusLock);
  ActiveSegments = count;
  SegmentFailed = false;
}

namespace {

void StartOverLocked(uint64_t total) {
  SharedStatus.received = 0;
  SharedStatus.total = total;
  ++SharedStatus.restarts;
}

}  // namespace

void StoreStartedOver(uint64_t total) {
  std::lock_guard lock(StatusLock);
  StartOverLocked(total);
  SharedStatus.state = STATUS_DOWNLOADING;
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
  if (report->total != 0) StartOverLocked(report->total);  // the segment started the file again
  SharedStatus.received += report->received;
  switch (report->state) {
    case STATUS_DOWNLOADING:
      if (report->received != 0 && SharedStatus.state == STATUS_RECONNECTING) {
        SharedStatus.state = STATUS_DOWNLOADING;
      }
      break;
    case STATUS_RECONNECTING:
      SharedStatus.state = STATUS_RECONNECTING;
      break;
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
