// The HTTP layer of the download engine: the process-wide internet session, the size probe and
// the ranged transfer of one byte range into the destination file.
#pragma once

#include <cstdint>
#include <string>

#include "download/cancel_request.h"
#include "download/download_status.h"

using ProgressCallback = int (*)(const DownloadStatus* report);

// Opens the process-wide internet session unless one is open; false when it cannot be opened.
bool OpenInternetSession();
void CloseInternetSession();

// The remote file's size from a GET without range, or 0 when it cannot be learned. Never reads
// the body.
uint64_t ProbeSize(const std::u16string& url);

// Fetches bytes `first` to `last` (inclusive) of the file of `total` bytes and writes them into the
// destination file at the same positions. Reports every read to `progress` with state 2, and ends
// with one final report: 3 complete, 5 cancelled, 6 failed.
void DownloadRange(ICancelRequest& cancel, const std::u16string& url, uint64_t first, uint64_t last,
                   uint64_t total, ProgressCallback progress);
