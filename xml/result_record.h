// Result records: the text in which parsing and file reading report what they met, one empty
// element per record, such as <lone_end_tag tagname="b" offset="3"/>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum : uint32_t {
  RESULT_COUNT = 0x1,     // the number is written as "count"
  RESULT_TYPE = 0x2,      // the text is written as "type"
  RESULT_N = 0x4,         // the number is written as "n"
  RESULT_ENCODING = 0x8,  // the text is written as "encoding"
  RESULT_LENGTH = 0x10,   // the number is written as "length"
  RESULT_UPDATE = 0x20,   // set the attributes of the first record of that name instead of adding one
  RESULT_MSG = 0x40,      // the text is written as "msg"
};

// A result text stops taking records once it is this long.
constexpr size_t kResultTextLimit = 1000;

// Appends one record to `result` (or updates one, with RESULT_UPDATE). Without a naming flag the
// text is written as "tagname" and the number as "offset", the number only when it is not -1;
// `number2` is written as "offset2" when it is not -1.
void AddResultRecord(std::u16string& result, uint32_t flags, std::u16string_view name,
                     std::optional<std::u16string_view> text = std::nullopt, int32_t number = -1,
                     int32_t number2 = -1);
