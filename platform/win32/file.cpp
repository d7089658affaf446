// The file seam on Win32: CreateFileW with no sharing, positioned WriteFile, FlushFileBuffers, and
// removal through the handle.
#include "platform/file.h"

#include <windows.h>

#include "platform/win32/file_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

HANDLE Handle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

bool File::CreateExclusive(const std::u16string& path) {
  Close();
  if (!RemoveFile(path)) return false;
  // No sharing: nobody else opens the file while it is open. CREATE_NEW: a name that somebody took
  // again meanwhile is never opened, nor a link followed. Delete access: it can be removed through
  // this handle.
  HANDLE h = CreateFileW(win32::Wide(path), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  m_hFile = reinterpret_cast<intptr_t>(h);
  m_strPath = path;
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
    if (!WriteFile(Handle(m_hFile), bytes, chunk, &written, &at) || written == 0) return false;
    bytes += written;
    size -= written;
    position += written;
  }
  return true;
}

bool File::Sync() { return IsOpen() && FlushFileBuffers(Handle(m_hFile)) != FALSE; }

bool File::Truncate() {
  if (!IsOpen()) return false;
  LARGE_INTEGER start = {};
  return SetFilePointerEx(Handle(m_hFile), start, nullptr, FILE_BEGIN) && SetEndOfFile(Handle(m_hFile));
}

bool File::Discard() {
  if (!IsOpen()) return true;
  const bool removed = win32::RemoveThroughHandle(Handle(m_hFile));
  Close();
  return removed;
}

void File::Close() {
  if (!IsOpen()) return;
  CloseHandle(Handle(m_hFile));
  m_hFile = -1;
  m_strPath.clear();
}

bool RemoveFile(const std::u16string& path) {
  return DeleteFileW(win32::Wide(path)) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace platform
