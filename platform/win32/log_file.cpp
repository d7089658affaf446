// The log-file seam on Win32: CreateFileW shared for reading, appending WriteFile, MoveFileExW.
#include "platform/log_file.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace platform {

bool LogFile::Create(const std::u16string& path) {
  Close();
  HANDLE h = CreateFileW(win32::Wide(path), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  m_hFile = reinterpret_cast<intptr_t>(h);
  return true;
}

bool LogFile::Append(const void* data, size_t size) {
  DWORD written = 0;
  return IsOpen() &&
         WriteFile(reinterpret_cast<HANDLE>(m_hFile), data, static_cast<DWORD>(size), &written, nullptr) &&
         written == size;
}

void LogFile::Close() {
  if (!IsOpen()) return;
  CloseHandle(reinterpret_cast<HANDLE>(m_hFile));
  m_hFile = -1;
}

bool MoveFileReplacing(const std::u16string& from, const std::u16string& to) {
  return MoveFileExW(win32::Wide(from), win32::Wide(to), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace platform
