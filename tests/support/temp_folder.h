// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#pragma once

#include <atomic>
#include <random>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include <gtest/gtest.h>

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter = 0;
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string("torvin-") + (test ? test->name() : "test") + "-" +
                             std::to_string(counter++) + "-" + std::to_string(std::random_device{}());
    m_path = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(m_path);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }

  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

  // Writes `bytes` as the whole file `name`; returns its path.
  std::filesystem::path Write(std::string_view name, std::string_view bytes) const {
    const std::filesystem::path file = m_path / name;
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }

 private:
  std::filesystem::path m_path;
};
