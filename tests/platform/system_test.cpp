// The system seam for real: the running executable's path, sleeping, debug lines.
#include "platform/system.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/utf.h"

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

TEST(System, DebugLineAndSleepReturn) {
  platform::DebugLine(u"debug line from the system test");
  platform::SleepFor(1);
}
