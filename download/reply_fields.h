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

// What If-Range carries to resume the reply that had these headers: its ETag when that is strong;
// without an ETag, its Last-Modified date. Empty when the reply cannot be resumed safely: a weak
// ETag (which may not join two pieces, and with which the date is not sent either), or neither.
std::u16string ResumeValidator(const std::optional<std::u16string>& etag,
                               const std::optional<std::u16string>& lastModified);

// Seconds since 1970-01-01 00:00:00 UTC of an HTTP date: the preferred form "Sun, 06 Nov 1994
// 08:49:37 GMT" and the two obsolete ones ("Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37
// 1994"); nothing for anything else.
std::optional<int64_t> ParseHttpDate(std::u16string_view text);

// The wait a Retry-After asks for, in seconds: a number of seconds, or an HTTP date counted from
// `nowSeconds` (seconds since 1970, UTC; a date already past asks for no wait). Nothing for
// anything else.
std::optional<uint64_t> ParseRetryAfter(std::u16string_view text, int64_t nowSeconds);
