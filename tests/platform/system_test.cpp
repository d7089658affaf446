// The system seam for real: the running executable's path, opening files, sleeping, debug lines.
#include "platform/system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/utf.h"

namespace fs = std::filesystem;

namespace {

fs::path ScratchFolder(const std::string& name) {
  fs::path folder = fs::path(TORVIN_BINARY_DIR) / "test-scratch" / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// In the installer's own form, with "\" separators on every platform.
std::u16string InstallerPath(const fs::path& path) {
  std::u16string text = path.u16string();
  std::replace(text.begin(), text.end(), u'/', u'\\');
  return text;
}

bool AppearsWithin(const fs::path& file, std::chrono::seconds limit) {
  for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
    if (fs::exists(file)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

}  // namespace

TEST(System, ModulePathNamesThisTestProgram) {
  std::u16string path = platform::ModulePath();
  ASSERT_FALSE(path.empty());
  std::string utf8 = platform::ToUtf8(path);
  EXPECT_NE(utf8.find("torvin_platform_tests"), std::string::npos) << utf8;
  EXPECT_NE(utf8.find('\\'), std::string::npos) << utf8;
  EXPECT_EQ(utf8.find('/'), std::string::npos) << utf8;
}

TEST(System, ReportsSomeVersionAndArchitecture) {
  std::optional<platform::OsVersion> version = platform::QueryOsVersion();
  ASSERT_TRUE(version.has_value());
  EXPECT_GT(version->major, 0u);
#ifdef _WIN32
  EXPECT_EQ(version->platformId, 2u);
  EXPECT_NE(platform::QuerySystemArchitecture(), platform::ARCHITECTURE_UNKNOWN);
#endif
}

TEST(System, OpeningAMissingFileFails) {
  fs::path folder = ScratchFolder("shell-open-missing");
  EXPECT_FALSE(platform::ShellOpen(InstallerPath(folder / "absent.exe")));
  EXPECT_FALSE(platform::ShellOpen(u""));
}

TEST(System, OpeningAProgramStartsIt) {
  fs::path folder = ScratchFolder("shell-open-program");
  fs::path marker = folder / "ran.txt";
#ifdef _WIN32
  fs::path program = folder / "program.bat";
  std::ofstream(program) << "@echo ran> \"" << fs::path(marker).make_preferred().string() << "\"\r\n";
#else
  fs::path program = folder / "program.sh";
  std::ofstream(program) << "#!/bin/sh\necho ran > '" << marker.string() << "'\n";
  fs::permissions(program, fs::perms::owner_all);
#endif
  ASSERT_TRUE(platform::ShellOpen(InstallerPath(program)));
  EXPECT_TRUE(AppearsWithin(marker, std::chrono::seconds(60)));
}

TEST(System, DebugLineAndSleepReturn) {
  platform::DebugLine(u"debug line from the system test");
  platform::SleepFor(1);
}
