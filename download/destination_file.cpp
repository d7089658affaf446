// The process-wide destination file and its lock.
#include "download/destination_file.h"

#include "download/download_log.h"

platform::File DestinationFile;
platform::Mutex FileLock;

void DiscardDestinationFile() {
  if (!DestinationFile.IsOpen()) return;
  const std::u16string path = DestinationFile.Path();
  if (!DestinationFile.Discard()) ReportUnremovedFile(path);
}

void ReportUnremovedFile(const std::u16string& path) {
  LogDownloadStep({"the downloaded file could not be removed: ", path});
}
