// A folder of its own under the system's temporary folder, removed with its content.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace kit {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code error;
    m_path = std::filesystem::temp_directory_path(error) / ("torvin-kit-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(m_path, error);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  std::u16string Path() const { return m_path.u16string(); }
  std::u16string File(const char* name) const { return (m_path / name).u16string(); }

 private:
  std::filesystem::path m_path;
};

}  // namespace kit
