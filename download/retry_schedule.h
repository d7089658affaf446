// When a lost transfer is asked again: which replies count as a passing failure, how long to wait
// before the next try, and when to give up.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// Tries in a row that brought no new byte, after which the transfer fails for good.
inline constexpr int kMaxFruitlessTries = 5;

// The longest Retry-After a server may ask for and be honoured.
inline constexpr std::chrono::seconds kMaxRetryAfter{60};

// Statuses of a retried request that mean "not now" rather than "no": retried like a drop.
bool IsPassingFailureStatus(uint32_t status);

// The wait before the next try, after `waitsSoFar` waits since the last try that brought bytes:
// 1, 2, 4, 8, 16 s; a Retry-After of up to a minute replaces it.
std::chrono::milliseconds RetryWait(int waitsSoFar, std::optional<uint64_t> retryAfterSeconds);
