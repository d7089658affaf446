// Downloads one address into one file with the engine, as the installer does, and prints the
// time to the last byte, the time to the final state, the time spent reconnecting after drops
// (waits included) and the process's peak resident memory.
// Usage: download_bench URL OUTPUT_FILE. run-download-bench drives it against nginx and curl.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "download/web_downloader.h"

#ifdef _WIN32
#include <windows.h>
// psapi.h needs the declarations of windows.h first.
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace {

std::u16string Widen(const char* text) {
  std::string narrow(text);
  return std::u16string(narrow.begin(), narrow.end());
}

unsigned long long PeakResidentKiB() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters = {};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PeakWorkingSetSize / 1024;
#else
  rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<unsigned long long>(usage.ru_maxrss);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s URL OUTPUT_FILE\n", argv[0]);
    return 2;
  }
  using Clock = std::chrono::steady_clock;
  Clock::time_point start = Clock::now();
  CWebDownloader* engine = GetDownloader();
  if (!engine->Init(Widen(argv[1]), u"", Widen(argv[2]))) {
    std::fprintf(stderr, "Init failed\n");
    return 1;
  }
  PublishStatus({STATUS_INIT, 0, 0});
  engine->ResumeWorker();
  double toLastByte = 0;
  double reconnecting = 0;
  DownloadStatus status;
  Clock::time_point lastLook = Clock::now();
  for (;;) {
    status = ReadStatus();
    Clock::time_point now = Clock::now();
    if (status.state == STATUS_RECONNECTING)
      reconnecting += std::chrono::duration<double>(now - lastLook).count();
    lastLook = now;
    if (toLastByte == 0 && status.state == STATUS_DOWNLOADDONE) {
      toLastByte = std::chrono::duration<double>(Clock::now() - start).count();
    }
    if (status.state == STATUS_PREPARE_INSTALL || status.state == STATUS_FINISHED) break;
    // Looked at every 10 ms: often enough for the times, rarely enough to leave the cores to the
    // engine (a tighter loop competes with the transfer, under Wine most of all).
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  double toFinal = std::chrono::duration<double>(Clock::now() - start).count();
  ShutdownDownloader();
  // The worker waits 500 ms between the last byte and the final state, for the user to see.
  std::printf(
      "state=%d bytes=%llu seconds_to_last_byte=%.3f seconds_to_final=%.3f seconds_reconnecting=%.3f "
      "peak_rss_kib=%llu\n",
      static_cast<int>(status.state), static_cast<unsigned long long>(status.received), toLastByte, toFinal,
      reconnecting, PeakResidentKiB());
  return status.state == STATUS_PREPARE_INSTALL ? 0 : 1;
}
