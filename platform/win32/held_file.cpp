// The held-file seam on Win32: read access shared for reading only, so that the loader may open
// the file to run it while every open for writing or deleting fails.
#include "platform/held_file.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace platform {
namespace {

HANDLE Handle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

bool HeldFile::Open(const std::u16string& path) {
  Close();
  HANDLE h = CreateFileW(win32::Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  m_hFile = reinterpret_cast<intptr_t>(h);
  m_strPath = path;
  return true;
}

int64_t HeldFile::Size() const {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(Handle(m_hFile), &size)) return -1;
  return size.QuadPart;
}

int64_t HeldFile::ReadAt(uint64_t position, void* data, size_t size) const {
  if (!IsOpen()) return -1;
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(position);
  at.OffsetHigh = static_cast<DWORD>(position >> 32);
  const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  DWORD got = 0;
  if (ReadFile(Handle(m_hFile), data, chunk, &got, &at)) return got;
  return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

void HeldFile::Close() {
  if (!IsOpen()) return;
  CloseHandle(Handle(m_hFile));
  m_hFile = -1;
  m_strPath.clear();
}

}  // namespace platform
