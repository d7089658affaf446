// What the destination file and the held file both do through an open file handle.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Removes the file through `handle`, which has delete access: nobody can open it from now on, and
// it is gone once the last handle to it closes.
inline bool RemoveThroughHandle(HANDLE handle) {
  FILE_DISPOSITION_INFO disposition = {};
  disposition.DeleteFile = TRUE;
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

}  // namespace platform::win32
