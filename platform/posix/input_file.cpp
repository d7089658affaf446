// The input-file seam on Linux: stdio streams on UTF-8 paths, errno and strerror.
#include "platform/input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/native_path.h"
#include "platform/utf.h"

namespace platform {

bool InputFile::Open(const std::u16string& path) {
  Close();
  m_file = std::fopen(posix::NativePath(path).c_str(), "rb");
  if (!m_file) return false;
  struct stat status;
  if (::fstat(::fileno(m_file), &status) == 0 && S_ISDIR(status.st_mode)) {
    std::fclose(m_file);
    m_file = nullptr;
    errno = EISDIR;
    return false;
  }
  return true;
}

int64_t InputFile::Size() {
  if (!m_file || ::fseeko(m_file, 0, SEEK_END) != 0) return -1;
  const off_t size = ::ftello(m_file);
  return size >= 0 && Seek(0) ? size : -1;
}

bool InputFile::Seek(int64_t offset) {
  return m_file && ::fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool InputFile::Read(void* buffer, size_t count) {
  if (!m_file) return false;
  errno = 0;
  if (std::fread(buffer, 1, count, m_file) == count) return true;
  if (!std::ferror(m_file)) errno = ENODATA;  // the file ended early: it shrank while being read
  return false;
}

bool InputFile::Close() {
  if (!m_file) return false;
  const bool closed = std::fclose(m_file) == 0;
  m_file = nullptr;
  return closed;
}

SystemError LastSystemError() {
  const int number = errno;
  char buffer[256];
  // The GNU strerror_r returns the text, which need not be in the buffer.
  const char* text = ::strerror_r(number, buffer, sizeof buffer);
  return {number, FromUtf8(text ? text : "")};
}

SystemError FileTooLargeError() {
  errno = EFBIG;
  return LastSystemError();
}

SystemError MissingFileError() {
  errno = ENOENT;
  return LastSystemError();
}

}  // namespace platform
