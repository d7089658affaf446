// The process-wide destination file and its lock.
#include "download/destination_file.h"

platform::File DestinationFile;
platform::Mutex FileLock;
