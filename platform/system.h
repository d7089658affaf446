// The operating system as the installer needs it: the version and processor it reports, the
// executable's own path, a line for an attached debugger, and sleeping.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The version the system reports to this process. Without a supported-OS list in the manifest,
// Windows after 8 reports 6.2.
struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t platformId = 0;  // 2 for the NT family; below 2 for anything else
};

// Processor architectures in the system's own numbering.
enum : uint16_t {
  ARCHITECTURE_X86 = 0,
  ARCHITECTURE_ARM = 5,
  ARCHITECTURE_IA64 = 6,
  ARCHITECTURE_X64 = 9,
  ARCHITECTURE_ARM64 = 12,
  ARCHITECTURE_UNKNOWN = 0xFFFF,
};

// Empty when the system does not answer.
std::optional<OsVersion> QueryOsVersion();

// The architecture of the system itself, not of this (possibly emulated 32-bit) process, where the
// system can tell the two apart.
uint16_t QuerySystemArchitecture();

// Full path of the running executable; empty when it cannot be learned. Its separators are "\"
// on every platform, so the installer builds paths beside it the same way everywhere (the Linux
// seams read "\" as "/").
std::u16string ModulePath();

// The user's preferred user-interface languages as language tags ("de-CH"), most preferred first;
// empty when the system names none.
std::vector<std::u16string> PreferredUILanguages();

// One line for an attached debugger (and, where there is no such channel, for standard error).
void DebugLine(std::u16string_view line);

void SleepFor(uint32_t milliseconds);

// The wall clock: seconds since 1970-01-01 00:00:00 UTC.
int64_t UnixTimeSeconds();

}  // namespace platform
