// The held-file seam on Linux: a read-only descriptor with a shared lock. The lock is advisory: it
// keeps out every writer that asks first (the download's own destination file does), not others.
#include "platform/held_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/native_path.h"

namespace platform {

bool HeldFile::Open(const std::u16string& path) {
  Close();
  const int fd = ::open(posix::NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || ::flock(fd, LOCK_SH | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  m_hFile = fd;
  m_strPath = path;
  return true;
}

int64_t HeldFile::Size() const {
  struct stat status;
  if (!IsOpen() || ::fstat(static_cast<int>(m_hFile), &status) != 0) return -1;
  return status.st_size;
}

int64_t HeldFile::ReadAt(uint64_t position, void* data, size_t size) const {
  if (!IsOpen()) return -1;
  for (;;) {
    const ssize_t got = ::pread(static_cast<int>(m_hFile), data, size, static_cast<off_t>(position));
    if (got >= 0) return got;
    if (errno != EINTR) return -1;
  }
}

void HeldFile::Close() {
  if (!IsOpen()) return;
  ::close(static_cast<int>(m_hFile));
  m_hFile = -1;
  m_strPath.clear();
}

}  // namespace platform
