// The system seam for real: the running executable's path, sleeping, debug lines.
#include "platform/system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

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

#if !defined(_WIN32)
// On Linux the locale's environment names the languages, as gettext reads it.
TEST(System, PreferredLanguagesFromTheLocaleEnvironment) {
  struct Case {
    const char *all, *messages, *lang, *list;
    std::vector<std::u16string> tags;
  };
  const Case cases[] = {
      {"de_DE.UTF-8@euro", nullptr, nullptr, nullptr, {u"de-DE"}},
      {nullptr, "pt_BR", "fr_FR.UTF-8", nullptr, {u"pt-BR"}},
      {nullptr, nullptr, "sr_RS.UTF-8@latin", "sr@latin:de:", {u"sr", u"de", u"sr-RS"}},
      {"C.UTF-8", nullptr, "de_DE", "fr", {}},  // the C locale names no language, nor does LANGUAGE then
      {nullptr, nullptr, nullptr, "fr", {}},
  };
  const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"};
  std::vector<std::optional<std::string>> saved;
  for (const char* name : names)
    saved.push_back(std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
  for (const Case& c : cases) {
    const char* values[] = {c.all, c.messages, c.lang, c.list};
    for (size_t i = 0; i < 4; ++i) values[i] ? setenv(names[i], values[i], 1) : unsetenv(names[i]);
    EXPECT_EQ(platform::PreferredUILanguages(), c.tags) << (c.all ? c.all : "") << (c.lang ? c.lang : "");
  }
  for (size_t i = 0; i < 4; ++i) saved[i] ? setenv(names[i], saved[i]->c_str(), 1) : unsetenv(names[i]);
}
#endif
