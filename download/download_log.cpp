// The engine's one listener.
#include "download/download_log.h"

#include <atomic>

namespace {

std::atomic<IDownloadLog*> Listener{nullptr};

}  // namespace

void SetDownloadLog(IDownloadLog* log) { Listener.store(log); }

void LogDownloadStep(std::string_view line, DownloadStep step) {
  if (IDownloadLog* log = Listener.load()) log->Step(step, line);
}

void LogDownloadFailure(DownloadFailure failure, std::string_view line) {
  if (IDownloadLog* log = Listener.load()) log->Failed(failure, line);
}
