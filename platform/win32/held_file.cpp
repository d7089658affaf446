// The held-file seam on Win32: read access shared for reading only, so that the loader may open
// the file to run it while every open for writing or deleting fails. A file taken over from the
// download also has delete access, so that it is renamed and removed through the hold itself.
#include "platform/held_file.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/win32/file_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

HANDLE Handle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

// A scanner that looks at a file as it is closed may have it open for a moment.
constexpr int kHoldRetries = 20;
constexpr DWORD kHoldRetryMs = 50;
constexpr char16_t kWin32Prefix[] = u"\\\\?\\";
constexpr char16_t kWin32UncPrefix[] = u"\\\\?\\UNC\\";

// Opens the file at `path` itself, never what a link or reparse point there leads to.
HANDLE OpenToHold(const std::u16string& path) {
  for (int attempt = 0;; ++attempt) {
    HANDLE h = CreateFileW(win32::Wide(path), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION || attempt == kHoldRetries) {
      return h;
    }
    Sleep(kHoldRetryMs);
  }
}

// Whether the held file is the written one (same volume, same file index), a plain file with no
// second name.
bool IsTheWrittenFile(const BY_HANDLE_FILE_INFORMATION& written, const BY_HANDLE_FILE_INFORMATION& held) {
  return written.dwVolumeSerialNumber == held.dwVolumeSerialNumber &&
         written.nFileIndexHigh == held.nFileIndexHigh && written.nFileIndexLow == held.nFileIndexLow &&
         held.nNumberOfLinks == 1 &&
         (held.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// The file's path as the system resolves it, in its "\\?\" form; empty when it cannot tell.
std::u16string PrefixedFinalPath(HANDLE h) {
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  const DWORD needed = GetFinalPathNameByHandleW(h, nullptr, 0, kFlags);
  if (needed == 0) return {};
  std::u16string path(needed, u'\0');
  const DWORD length = GetFinalPathNameByHandleW(h, win32::Wide(path.data()), needed, kFlags);
  if (length == 0 || length >= needed || path.compare(0, 4, kWin32Prefix) != 0) return {};
  path.resize(length);
  return path;
}

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

// A handle that may write cannot stay open beside one that keeps writers out, so the writer closes
// and the hold opens the name at once. Nobody holds the file for that instant: whatever happened to
// it then is read by the checks through the hold, and the file's identity shows whether the name
// still leads to the file written.
HeldFile::HoldOutcome HeldFile::Hold(File& written) {
  Close();
  BY_HANDLE_FILE_INFORMATION writtenInfo;
  const bool known = written.IsOpen() && GetFileInformationByHandle(Handle(written.Native()), &writtenInfo);
  const std::u16string path = written.Path();
  written.Close();
  if (!known) return HoldOutcome::Failed;
  HANDLE h = OpenToHold(path);
  if (h == INVALID_HANDLE_VALUE) return HoldOutcome::Failed;
  BY_HANDLE_FILE_INFORMATION heldInfo;
  const bool heldKnown = GetFileInformationByHandle(h, &heldInfo) != FALSE;
  if (!heldKnown || !IsTheWrittenFile(writtenInfo, heldInfo)) {
    CloseHandle(h);
    return heldKnown ? HoldOutcome::Replaced : HoldOutcome::Failed;
  }
  m_hFile = reinterpret_cast<intptr_t>(h);
  m_strPath = path;
  return HoldOutcome::Held;
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

// The new name is given in the system's own form ("\??\" where Win32 writes "\\?\"), in the folder
// the file really is in.
bool HeldFile::Rename(const std::u16string& name) {
  if (!IsOpen()) return false;
  const std::u16string current = PrefixedFinalPath(Handle(m_hFile));
  const size_t separator = current.find_last_of(u'\\');
  if (current.empty() || separator < 4) return false;
  const std::u16string target = u"\\??\\" + current.substr(4, separator - 3) + name;
  const size_t nameBytes = target.size() * sizeof(char16_t);
  std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(char16_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(info->FileName, target.data(), nameBytes);
  if (!SetFileInformationByHandle(Handle(m_hFile), FileRenameInfo, info, static_cast<DWORD>(buffer.size()))) {
    return false;
  }
  m_strPath = SiblingPath(name);
  return true;
}

std::u16string HeldFile::FinalPath() const {
  if (!IsOpen()) return {};
  const std::u16string path = PrefixedFinalPath(Handle(m_hFile));
  if (path.compare(0, 8, kWin32UncPrefix) == 0) return u"\\\\" + path.substr(8);
  return path.empty() ? path : path.substr(4);
}

bool HeldFile::Discard() {
  if (!IsOpen()) return true;
  const bool removed = win32::RemoveThroughHandle(Handle(m_hFile));
  Close();
  return removed;
}

void HeldFile::Close() {
  if (!IsOpen()) return;
  CloseHandle(Handle(m_hFile));
  m_hFile = -1;
  m_strPath.clear();
}

}  // namespace platform
