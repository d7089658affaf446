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

// Either separator ends the folder: paths are built with "\" on every platform.
std::u16string HeldFile::SiblingPath(const std::u16string& name) const {
  const size_t separator = m_strPath.find_last_of(u"\\/");
  return (separator == std::u16string::npos ? std::u16string() : m_strPath.substr(0, separator + 1)) + name;
}

}  // namespace platform
