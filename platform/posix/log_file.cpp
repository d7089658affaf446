// The log-file seam on POSIX: open with O_APPEND, write, rename.
#include "platform/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/posix/native_path.h"

namespace platform {

bool LogFile::Create(const std::u16string& path) {
  Close();
  const int fd = ::open(posix::NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  m_hFile = fd;
  return true;
}

bool LogFile::Append(const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (IsOpen() && size > 0) {
    const ssize_t written = ::write(static_cast<int>(m_hFile), bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return IsOpen();
}

void LogFile::Close() {
  if (!IsOpen()) return;
  ::close(static_cast<int>(m_hFile));
  m_hFile = -1;
}

bool MoveFileReplacing(const std::u16string& from, const std::u16string& to) {
  return std::rename(posix::NativePath(from).c_str(), posix::NativePath(to).c_str()) == 0;
}

}  // namespace platform
