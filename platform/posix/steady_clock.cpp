// The monotonic clock on the standard library's steady clock.
#include "platform/steady_clock.h"

namespace platform {

SteadyClock::time_point SteadyClock::now() noexcept {
  auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
  return time_point(std::chrono::duration_cast<duration>(sinceStart));
}

}  // namespace platform
