// Linux only: lets tests replace what the system seam reports (version, architecture) and catch
// the debug lines, so that the platform checks can be driven through every case natively.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "platform/system.h"

namespace platform::posix {

struct SystemSource {
  std::optional<OsVersion> version;  // empty: the version query fails
  uint16_t architecture = ARCHITECTURE_UNKNOWN;
};

// Until ResetSystemSource, QueryOsVersion and QuerySystemArchitecture report `source`.
void SetSystemSource(const SystemSource& source);
void ResetSystemSource();

// Until called again with an empty function, debug lines go to `sink` instead of standard error.
void SetDebugLineSink(std::function<void(std::u16string_view)> sink);

}  // namespace platform::posix
