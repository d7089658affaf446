// Reading the reply headers that the size probe and the range transfer decide on: decimal
// lengths, Content-Range, the validator a resume carries in If-Range, and Retry-After.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A whole text of decimal digits; nothing for anything else or an overflow.
std::optional<uint64_t> ParseDecimal(std::u16string_view text);

// "bytes first-last/total"; `total` is empty for "*" (an unknown size).
struct ContentRange {
  uint64_t first = 0;
  uint64_t last = 0;
  std::optional<uint64_t> total;
};
// Also "bytes */total", the answer to a range that cannot be satisfied, with first = last = 0.
std::optional<ContentRange> ParseContentRange(std::u16string_view text);

// What If-Range carries to resume the reply that had these headers: its ETag when that is strong,
// else its Last-Modified date; empty when neither, and the reply cannot be resumed safely.
std::u16string ResumeValidator(const std::optional<std::u16string>& etag,
                               const std::optional<std::u16string>& lastModified);

// A Retry-After given in seconds; nothing for a date or anything else.
std::optional<uint64_t> ParseRetryAfterSeconds(std::u16string_view text);
