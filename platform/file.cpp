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

bool WriteWholeFile(const std::u16string& path, std::string_view bytes) {
  File file;
  return file.CreateExclusive(path) && file.WriteAt(0, bytes.data(), bytes.size()) && file.Sync();
}

intptr_t File::Detach() {
  m_strPath.clear();
  return std::exchange(m_hFile, -1);
}

}  // namespace platform
