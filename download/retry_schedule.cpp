// The retry schedule of the range transfer.
#include "download/retry_schedule.h"

#include <algorithm>

bool IsPassingFailureStatus(uint32_t status) {
  switch (status) {
    case 408:  // request time-out
    case 429:  // too many requests
    case 500:
    case 502:
    case 503:
    case 504:
      return true;
    default:
      return false;
  }
}

std::chrono::milliseconds RetryWait(int waitsSoFar, std::optional<uint64_t> retryAfterSeconds) {
  if (retryAfterSeconds) {
    return std::chrono::seconds(std::min<uint64_t>(*retryAfterSeconds, kMaxRetryAfter.count()));
  }
  return std::chrono::seconds(1) * (1 << std::clamp(waitsSoFar, 0, kMaxFruitlessTries - 1));
}
