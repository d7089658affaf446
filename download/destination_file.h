// The process-wide destination file of the download and the lock its writers take.
#pragma once

#include <mutex>  // std::lock_guard

#include "platform/file.h"
#include "platform/thread.h"

// Opened by CWebDownloader::Init, written by the segment thread under FileLock, closed by the worker.
extern platform::File DestinationFile;
extern platform::Mutex FileLock;
