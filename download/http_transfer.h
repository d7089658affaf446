// The HTTP layer of the download engine: the process-wide internet session, the size probe and
// the ranged transfer of one byte range into the destination file, resumed after a drop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "download/cancel_request.h"
#include "download/download_status.h"
#include "platform/http.h"

using ProgressCallback = int (*)(const DownloadStatus* report);

// Opens the process-wide internet session unless one is open; false when it cannot be opened.
bool OpenInternetSession();
void CloseInternetSession();

// What the size probe learned of a link: whether a reply came (or why not), its status, the
// addresses it was redirected to on the way, and the file's size as the download uses it (0 when it
// cannot be learned).
struct ProbeReply {
  platform::http::SendResult outcome = platform::http::SendResult::Failed;
  uint32_t status = 0;
  std::vector<std::u16string> redirects;
  uint64_t size = 0;
};

// The size probe, a GET for the file's first byte, through the process-wide session. Never reads
// the body. `abortSwitch`, when given, stops it from another thread.
ProbeReply ProbeLink(const std::u16string& url, platform::http::AbortSwitch* abortSwitch = nullptr);
// The remote file's size from the size probe, or 0 when it cannot be learned.
uint64_t ProbeSize(const std::u16string& url, platform::http::AbortSwitch* abortSwitch = nullptr);

// Fetches bytes `first` to `last` (inclusive) of the file of `total` bytes and writes them into the
// destination file at the same positions. A connection lost on the way is asked again for the rest
// (Range and If-Range) after a wait, and a file that changed on the server starts again from byte
// 0. Reports every read to `progress` with state 2, a wait to reconnect with 12, and ends with one
// final report: 3 complete, 5 cancelled, 6 failed. `abortSwitch`, when given, stops its network
// calls from another thread.
void DownloadRange(ICancelRequest& cancel, const std::u16string& url, uint64_t first, uint64_t last,
                   uint64_t total, ProgressCallback progress,
                   platform::http::AbortSwitch* abortSwitch = nullptr);
