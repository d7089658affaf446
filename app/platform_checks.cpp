// Maps the version and processor that the system reports to the configuration's OS names.
#include "app/platform_checks.h"

#include <optional>

#include "platform/system.h"

namespace {

constexpr uint32_t kPlatformNt = 2;

// Only major versions from 6 on are told apart by their minor version; every release after 8
// reports 6.2 to an executable that lists no supported systems, so all of them are "Windows 8".
std::optional<std::u16string> NameOfVersion(const platform::OsVersion& version) {
  if (version.major < 5) return std::nullopt;
  if (version.major == 5) {
    if (version.minor == 0) return std::nullopt;
    return u"Windows XP";
  }
  if (version.minor == 0) return u"Windows Vista";
  if (version.minor == 1) return u"Windows 7";
  return u"Windows 8";
}

}  // namespace

int DetectPlatform(PlatformInfo& platform) {
  std::optional<platform::OsVersion> version = platform::QueryOsVersion();
  if (!version || version->platformId < kPlatformNt) return 1;
  std::optional<std::u16string> name = NameOfVersion(*version);
  if (!name) return 1;
  platform.strName = *name;
  platform.strBits = GetSystemBitness();
  return 0;
}

std::u16string GetSystemBitness() {
  uint16_t architecture = platform::QuerySystemArchitecture();
  bool is64 = architecture == platform::ARCHITECTURE_X64 || architecture == platform::ARCHITECTURE_IA64;
  return is64 ? u"64" : u"32";
}
