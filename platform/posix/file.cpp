// The file seam on POSIX: open, an exclusive advisory lock, pwrite, fsync. "In use" means locked by
// somebody: the download's own file and a held file lock theirs.
#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/native_path.h"

namespace platform {

bool File::CreateExclusive(const std::u16string& path) {
  Close();
  if (!RemoveFile(path)) return false;
  // O_EXCL: a name that somebody took again meanwhile is never opened, nor a link followed.
  const int fd = ::open(posix::NativePath(path).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0755);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  m_hFile = fd;
  m_strPath = path;
  return true;
}

bool File::WriteAt(uint64_t position, const void* data, size_t size) {
  if (!IsOpen()) return false;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t written = ::pwrite(static_cast<int>(m_hFile), bytes, size, static_cast<off_t>(position));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
    position += static_cast<uint64_t>(written);
  }
  return true;
}

bool File::Sync() { return IsOpen() && ::fsync(static_cast<int>(m_hFile)) == 0; }

bool File::Truncate() { return IsOpen() && ::ftruncate(static_cast<int>(m_hFile), 0) == 0; }

// A descriptor cannot remove its file: the name it was created under is removed, while the lock
// still keeps every other writer out.
bool File::Discard() {
  if (!IsOpen()) return true;
  const bool removed = ::unlink(posix::NativePath(m_strPath).c_str()) == 0 || errno == ENOENT;
  Close();
  return removed;
}

void File::Close() {
  if (!IsOpen()) return;
  ::close(static_cast<int>(m_hFile));  // also releases the lock
  m_hFile = -1;
  m_strPath.clear();
}

bool RemoveFile(const std::u16string& path) {
  const std::string native = posix::NativePath(path);
  // O_NOFOLLOW: a link is not opened (nor its target tested), only removed.
  const int fd = ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    const bool inUse = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    if (inUse) return false;
  }
  return ::unlink(native.c_str()) == 0 || errno == ENOENT;
}

}  // namespace platform
