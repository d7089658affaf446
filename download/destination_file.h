// The process-wide destination file of the download and the lock its writers take.
#pragma once

#include <mutex>

#include "platform/file.h"

// Opened by CWebDownloader::Init, written by the segment thread under FileLock, closed by the worker.
extern platform::File DestinationFile;
extern std::mutex FileLock;
