// When a lost transfer is asked again: which replies count as a passing failure, how long to wait
// before the next try, what counts as a stall, and when to give up, so that every download ends.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// Tries in a row that brought no new byte, after which the transfer fails for good.
inline constexpr int kMaxFruitlessTries = 5;

// Tries, fruitful or not, while the furthest byte reached grows by less than kTriesMilestone: a
// server that gives a few bytes to each connection still ends the download.
inline constexpr int kMaxTriesPerMilestone = 20;
inline constexpr uint64_t kTriesMilestone = 1024 * 1024;

// A connection that brings fewer than kStallMinimumBytes in kStallWindow (while not held) has
// stalled: it is given up and asked again, as a silent one is.
inline constexpr std::chrono::seconds kStallWindow{30};
inline constexpr uint64_t kStallMinimumBytes = 1024;

// The longest wait a Retry-After is followed for; a longer one is cut to this.
inline constexpr std::chrono::seconds kMaxRetryAfter{60};

// Statuses that mean "not now" rather than "no": retried like a drop.
bool IsPassingFailureStatus(uint32_t status);

// The wait before the next try, after `waitsSoFar` waits since the last try that brought bytes:
// 1, 2, 4, 8, 16 s; a Retry-After replaces it, up to a minute.
std::chrono::milliseconds RetryWait(int waitsSoFar, std::optional<uint64_t> retryAfterSeconds);
