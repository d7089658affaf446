// The engine's one listener.
#include "download/download_log.h"

#include <atomic>

namespace {

std::atomic<IDownloadLog*> Listener{nullptr};

}  // namespace

void SetDownloadLog(IDownloadLog* log) { Listener.store(log); }

void LogDownloadStep(std::initializer_list<platform::TextPiece> line, DownloadStep step) {
  if (IDownloadLog* log = Listener.load()) log->Step(step, platform::JoinUtf8(line));
}

void LogDownloadFailure(DownloadFailure failure, std::initializer_list<platform::TextPiece> line) {
  if (IDownloadLog* log = Listener.load()) log->Failed(failure, platform::JoinUtf8(line));
}
