// The monotonic clock on the system's 64-bit tick count, which never wraps in practice.
#include "platform/steady_clock.h"

#include <windows.h>

namespace platform {

SteadyClock::time_point SteadyClock::now() noexcept {
  return time_point(duration(static_cast<rep>(GetTickCount64())));
}

}  // namespace platform
