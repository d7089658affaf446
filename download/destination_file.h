// The process-wide destination file of the download and the lock its writers take.
#pragma once

#include <mutex>  // std::lock_guard
#include <string>

#include "platform/file.h"
#include "platform/thread.h"

// While the download runs the file has a name that no system runs as a program: the installer's
// own name with this added. It gets the installer's name only once its checks have passed.
inline constexpr char16_t kPartialSuffix[] = u".partial";

// Opened by CWebDownloader::Init, written by the segment thread under FileLock, then handed to the
// hold of the installer's checks or removed by the worker.
extern platform::File DestinationFile;
extern platform::Mutex FileLock;

// Removes the destination file through its handle, when it is still open. A file that cannot be
// removed is reported.
void DiscardDestinationFile();

// The log line for a downloaded file that could not be removed.
void ReportUnremovedFile(const std::u16string& path);
