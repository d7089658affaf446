// Windows' own byte tables for the single-byte code pages that no glibc charset decodes the same way.
#pragma once

#include <array>
#include <cstdint>

namespace platform::posix {

// The UTF-16 units of the bytes 0x80-0xFF.
using HighHalf = std::array<char16_t, 128>;

// The table of a code page, or none when iconv decodes it as Windows does.
const HighHalf* WindowsHighHalf(int32_t codePage);

}  // namespace platform::posix
