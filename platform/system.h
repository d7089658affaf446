// The operating system as the installer needs it: the version and processor it reports, the
// executable's own path and command line, the user's temporary folder, language and display scale,
// the local time, a line for an attached debugger, and sleeping.
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

// The executable's file name without its extension, however long its path.
inline std::u16string ProgramName() {
  std::u16string name = ModulePath();
  name.erase(0, name.find_last_of(u"\\/") + 1);
  const size_t dot = name.find_last_of(u'.');
  if (dot != std::u16string::npos) name.erase(dot);
  return name;
}

// The command line the process was started with, as the system keeps it (the program's own path
// first); empty when it cannot be learned.
std::u16string CommandLine();

// The user's folder for temporary files, without a trailing separator ("\" on every platform, as
// ModulePath); empty when the system names none.
std::u16string TempFolder();

// The display's scale for programs without a window of their own, in DPI (96 at 100 %).
int32_t SystemDpi();

struct LocalTime {
  uint16_t year = 0;
  uint16_t month = 0;
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t millisecond = 0;
};
// The wall-clock time in the user's time zone.
LocalTime CurrentLocalTime();

// The user's preferred user-interface languages as language tags ("de-CH"), most preferred first;
// empty when the system names none.
std::vector<std::u16string> PreferredUILanguages();

// One line for an attached debugger; nothing happens without one. (On Linux, where there is no
// such channel, the line goes to standard error.)
void DebugLine(std::u16string_view line);

void SleepFor(uint32_t milliseconds);

// The wall clock: seconds since 1970-01-01 00:00:00 UTC.
int64_t UnixTimeSeconds();

}  // namespace platform
