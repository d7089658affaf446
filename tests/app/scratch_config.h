// A configuration file for one test, written byte for byte into a folder of its own in the build.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

class ScratchConfig {
 public:
  // The folder is named after the running test.
  ScratchConfig() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    m_folder = std::filesystem::path(TORVIN_BINARY_DIR) / "test-scratch" / "config" /
               (std::string(test->test_suite_name()) + "." + test->name());
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
  }

  // The path of the file, in the system's own form.
  std::u16string Path() const {
    std::filesystem::path file = m_folder / "TorvinWebInstaller.xml";
    return file.make_preferred().u16string();
  }

  std::u16string Write(std::string_view bytes) const {
    std::ofstream(m_folder / "TorvinWebInstaller.xml", std::ios::binary).write(bytes.data(), bytes.size());
    return Path();
  }

 private:
  std::filesystem::path m_folder;
};
