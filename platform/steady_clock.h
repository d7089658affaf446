// A monotonic clock in milliseconds, for time-outs: the standard library's steady clock on Linux,
// the system's tick count on Windows (which needs no threads runtime).
#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

struct SteadyClock {
  using duration = std::chrono::milliseconds;
  using rep = duration::rep;
  using period = duration::period;
  using time_point = std::chrono::time_point<SteadyClock>;
  static constexpr bool is_steady = true;

  static time_point now() noexcept;
};

}  // namespace platform
