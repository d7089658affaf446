// Windows' own byte tables for the single-byte code pages that no glibc charset decodes the same way.
#pragma once

#include <array>
#include <cstdint>

namespace platform::posix {

// The UTF-16 units of the bytes 0x80-0xFF.
using HighHalf = std::array<char16_t, 128>;

// Bytes below 0x80 are ASCII, except that some tables give 0x7F a unit of its own.
struct ByteTable {
  int32_t codePage;
  HighHalf units;
  char16_t deleteUnit = 0x7F;

  char16_t Decode(uint8_t byte) const {
    if (byte < 0x7F) return byte;
    return byte == 0x7F ? deleteUnit : units[byte - 0x80];
  }
};

// The table of a code page, or none when iconv decodes it as Windows does.
const ByteTable* WindowsByteTable(int32_t codePage);

}  // namespace platform::posix
