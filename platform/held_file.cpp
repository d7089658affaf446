// The parts of the held-file seam that are the same on every platform.
#include "platform/held_file.h"

#include <utility>

namespace platform {

HeldFile::HeldFile(HeldFile&& other) noexcept
    : m_hFile(std::exchange(other.m_hFile, -1)), m_strPath(std::move(other.m_strPath)) {}

HeldFile& HeldFile::operator=(HeldFile&& other) noexcept {
  if (this != &other) {
    Close();
    m_hFile = std::exchange(other.m_hFile, -1);
    m_strPath = std::move(other.m_strPath);
  }
  return *this;
}

}  // namespace platform
