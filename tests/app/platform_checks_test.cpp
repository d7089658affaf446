// Platform detection: the version table and the bitness natively through a filled system source,
// and what a Wine prefix really reports.
#include "app/platform_checks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "platform/system.h"

#ifndef _WIN32
#include "platform/posix/system_source.h"

namespace {

struct SystemSourceScope {
  explicit SystemSourceScope(const platform::posix::SystemSource& source) {
    platform::posix::SetSystemSource(source);
  }
  ~SystemSourceScope() { platform::posix::ResetSystemSource(); }
};

platform::OsVersion V(uint32_t major, uint32_t minor, uint32_t platformId) {
  return {major, minor, platformId};
}

struct VersionCase {
  std::optional<platform::OsVersion> version;
  const char16_t* name;  // nullptr: not recognised
};

}  // namespace

TEST(DetectPlatform, NamesEveryReportedVersion) {
  const VersionCase cases[] = {
      {std::nullopt, nullptr},  // the query fails
      {V(6, 1, 1), nullptr},    // not of the NT family
      {V(6, 1, 0), nullptr},          {V(4, 0, 2), nullptr},       {V(4, 9, 2), nullptr},
      {V(5, 0, 2), nullptr},          {V(5, 1, 2), u"Windows XP"}, {V(5, 2, 2), u"Windows XP"},
      {V(6, 0, 2), u"Windows Vista"}, {V(6, 1, 2), u"Windows 7"},  {V(6, 2, 2), u"Windows 8"},
      {V(6, 3, 2), u"Windows 8"},     {V(7, 1, 2), u"Windows 7"},  {V(10, 0, 2), u"Windows Vista"},
      {V(10, 1, 2), u"Windows 7"},    {V(10, 4, 2), u"Windows 8"}, {V(255, 0, 3), u"Windows Vista"},
  };
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(c.version ? std::to_string(c.version->major) + "." + std::to_string(c.version->minor) +
                                 " id " + std::to_string(c.version->platformId)
                           : std::string("no version"));
    SystemSourceScope source({c.version, platform::ARCHITECTURE_X64});
    PlatformInfo info{u"before", u"before"};
    int result = DetectPlatform(info);
    if (c.name) {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(info.strName, c.name);
      EXPECT_EQ(info.strBits, u"64");
    } else {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(info.strName, u"before");
      EXPECT_EQ(info.strBits, u"before");
    }
  }
}

TEST(DetectPlatform, OnlyX64AndItaniumCountAs64Bit) {
  const std::pair<uint16_t, const char16_t*> cases[] = {
      {platform::ARCHITECTURE_X64, u"64"},   {platform::ARCHITECTURE_IA64, u"64"},
      {platform::ARCHITECTURE_X86, u"32"},   {platform::ARCHITECTURE_ARM, u"32"},
      {platform::ARCHITECTURE_ARM64, u"32"}, {platform::ARCHITECTURE_UNKNOWN, u"32"},
  };
  for (auto [architecture, bits] : cases) {
    SCOPED_TRACE(architecture);
    SystemSourceScope source({platform::OsVersion{6, 1, 2}, architecture});
    EXPECT_EQ(GetSystemBitness(), bits);
    PlatformInfo info;
    EXPECT_EQ(DetectPlatform(info), 0);
    EXPECT_EQ(info.strName, u"Windows 7");
    EXPECT_EQ(info.strBits, bits);
  }
}

TEST(DetectPlatform, LinuxItselfIsNoWindowsSystem) {
  PlatformInfo info;
  EXPECT_EQ(DetectPlatform(info), 1);
  EXPECT_TRUE(info.strName.empty());
  EXPECT_TRUE(info.strBits.empty());
}

#else

namespace {

// The 32-bit prefix run sets TORVIN_WINE_SYSTEM_BITS to 32; the shared prefix is 64-bit.
std::u16string ExpectedWineBits() {
  const char* bits = std::getenv("TORVIN_WINE_SYSTEM_BITS");
  return bits && std::string(bits) == "32" ? u"32" : u"64";
}

}  // namespace

TEST(PlatformUnderWine, ReportsWindows7OfThePrefixBitness) {
  PlatformInfo info;
  EXPECT_EQ(DetectPlatform(info), 0);
  // Wine reports 6.1 to a program that lists no supported systems.
  EXPECT_EQ(info.strName, u"Windows 7");
  EXPECT_EQ(info.strBits, ExpectedWineBits());
  EXPECT_EQ(GetSystemBitness(), ExpectedWineBits());
}

#endif
