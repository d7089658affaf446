// The input-file seam on Windows: the runtime library's wide-character streams, GetLastError and
// FormatMessageW.
#include "platform/input_file.h"

#include <windows.h>

#include <cstdio>
#include <iterator>

#include "platform/win32/wide.h"

namespace platform {

bool InputFile::Open(const std::u16string& path) {
  Close();
  m_file = _wfopen(win32::Wide(path), L"rb");
  return m_file != nullptr;
}

int64_t InputFile::Size() {
  if (!m_file || _fseeki64(m_file, 0, SEEK_END) != 0) return -1;
  const int64_t size = _ftelli64(m_file);
  return size >= 0 && Seek(0) ? size : -1;
}

bool InputFile::Seek(int64_t offset) { return m_file && _fseeki64(m_file, offset, SEEK_SET) == 0; }

bool InputFile::Read(void* buffer, size_t count) {
  if (!m_file) return false;
  if (std::fread(buffer, 1, count, m_file) == count) return true;
  if (!std::ferror(m_file)) SetLastError(ERROR_HANDLE_EOF);  // the file shrank while being read
  return false;
}

bool InputFile::Close() {
  if (!m_file) return false;
  const bool closed = std::fclose(m_file) == 0;
  m_file = nullptr;
  return closed;
}

SystemError LastSystemError() {
  const DWORD number = GetLastError();
  wchar_t buffer[100];
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      number, 0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  return {static_cast<int32_t>(number), length ? win32::FromWide(buffer, length) : std::u16string()};
}

SystemError FileTooLargeError() {
  SetLastError(ERROR_FILE_TOO_LARGE);
  return LastSystemError();
}

SystemError MissingFileError() {
  SetLastError(ERROR_FILE_NOT_FOUND);
  return LastSystemError();
}

}  // namespace platform
