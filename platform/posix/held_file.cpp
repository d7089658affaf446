// The held-file seam on Linux: a descriptor with a shared lock. The lock is advisory: it keeps out
// every writer that asks first (the download's own destination file does), not others; a name can
// always be changed under it, so the name is compared with the descriptor's file whenever it counts.
#include "platform/held_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

#include "platform/posix/native_path.h"

namespace platform {
namespace {

// Whether `path` names the descriptor's own file directly: not through a link, and not one of
// several names of it.
bool NamesDirectly(int fd, const std::u16string& path) {
  struct stat held, named;
  return ::fstat(fd, &held) == 0 && ::lstat(posix::NativePath(path).c_str(), &named) == 0 &&
         S_ISREG(named.st_mode) && held.st_dev == named.st_dev && held.st_ino == named.st_ino &&
         named.st_nlink == 1;
}

}  // namespace

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

// The written file's own descriptor stays open: nothing could take its place in between. Its lock
// turns shared, so that readers may join while writers stay out.
HeldFile::HoldOutcome HeldFile::Hold(File& written) {
  Close();
  const std::u16string path = written.Path();
  const int fd = static_cast<int>(written.Detach());
  if (fd < 0) return HoldOutcome::Failed;
  if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
    ::close(fd);
    return HoldOutcome::Failed;
  }
  if (!NamesDirectly(fd, path)) {
    ::close(fd);
    return HoldOutcome::Replaced;
  }
  m_hFile = fd;
  m_strPath = path;
  return HoldOutcome::Held;
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

// A name moves only by path here: the new name must lead to the held file afterwards. When somebody
// put another file in its place meanwhile, that file is taken off the new name again.
bool HeldFile::Rename(const std::u16string& name) {
  if (!IsOpen()) return false;
  const std::u16string target = SiblingPath(name);
  const std::string nativeTarget = posix::NativePath(target);
  if (::rename(posix::NativePath(m_strPath).c_str(), nativeTarget.c_str()) != 0) return false;
  if (!NamesDirectly(static_cast<int>(m_hFile), target)) {
    ::unlink(nativeTarget.c_str());
    return false;
  }
  m_strPath = target;
  return true;
}

std::u16string HeldFile::FinalPath() const {
  if (!IsOpen()) return {};
  std::array<char, 4096> target;
  const std::string link = "/proc/self/fd/" + std::to_string(m_hFile);
  const ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
  if (length <= 0 || static_cast<size_t>(length) >= target.size()) return {};
  return FromUtf8(std::string_view(target.data(), static_cast<size_t>(length)));
}

bool HeldFile::Discard() {
  if (!IsOpen()) return true;
  const bool removed = ::unlink(posix::NativePath(m_strPath).c_str()) == 0 || errno == ENOENT;
  Close();
  return removed;
}

void HeldFile::Close() {
  if (!IsOpen()) return;
  ::close(static_cast<int>(m_hFile));
  m_hFile = -1;
  m_strPath.clear();
}

}  // namespace platform
