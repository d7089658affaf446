// The file seam on Win32: CreateFileW with no sharing, positioned WriteFile, FlushFileBuffers.
#include "platform/file.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace platform {
namespace {

HANDLE Native(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

bool File::CreateExclusive(const std::u16string& path) {
  Close();
  // No sharing: the open fails, and leaves the file untouched, while anybody else has it open.
  HANDLE h = CreateFileW(win32::Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  m_hFile = reinterpret_cast<intptr_t>(h);
  return true;
}

bool File::WriteAt(uint64_t position, const void* data, size_t size) {
  if (!IsOpen()) return false;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(position);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(Native(m_hFile), bytes, chunk, &written, &at) || written == 0) return false;
    bytes += written;
    size -= written;
    position += written;
  }
  return true;
}

bool File::Sync() { return IsOpen() && FlushFileBuffers(Native(m_hFile)) != FALSE; }

bool File::Truncate() {
  if (!IsOpen()) return false;
  LARGE_INTEGER start = {};
  return SetFilePointerEx(Native(m_hFile), start, nullptr, FILE_BEGIN) && SetEndOfFile(Native(m_hFile));
}

void File::Close() {
  if (!IsOpen()) return;
  CloseHandle(Native(m_hFile));
  m_hFile = -1;
}

bool RemoveFile(const std::u16string& path) {
  return DeleteFileW(win32::Wide(path)) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace platform
