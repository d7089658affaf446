// The file seam on POSIX: open, an exclusive advisory lock, pwrite, fsync.
#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/native_path.h"

namespace platform {

bool File::CreateExclusive(const std::u16string& path) {
  Close();
  int fd = ::open(posix::NativePath(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0755);
  if (fd < 0) return false;
  // Emptied only once the lock is ours, so a file that is open elsewhere keeps its contents.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return false;
  }
  m_hFile = fd;
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

void File::Close() {
  if (!IsOpen()) return;
  ::close(static_cast<int>(m_hFile));  // also releases the lock
  m_hFile = -1;
}

bool RemoveFile(const std::u16string& path) {
  return ::unlink(posix::NativePath(path).c_str()) == 0 || errno == ENOENT;
}

}  // namespace platform
