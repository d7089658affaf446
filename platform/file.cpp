// The parts of the file seam that are the same on every platform.
#include "platform/file.h"

#include <utility>

namespace platform {

File::File(File&& other) noexcept
    : m_hFile(std::exchange(other.m_hFile, -1)), m_strPath(std::move(other.m_strPath)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    m_hFile = std::exchange(other.m_hFile, -1);
    m_strPath = std::move(other.m_strPath);
  }
  return *this;
}

bool File::IsOpen() const { return m_hFile != -1; }

intptr_t File::Detach() {
  m_strPath.clear();
  return std::exchange(m_hFile, -1);
}

}  // namespace platform
