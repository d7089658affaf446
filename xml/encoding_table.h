// Encoding names (registered character-set names and platform aliases) to code-page numbers, for
// the text-file reader.
#pragma once

#include <cstdint>
#include <string_view>

// Not a platform code page: the library's own value for 32-bit code points in machine byte order.
inline constexpr int32_t CODEPAGE_UTF32 = 65005;

// The code page of an encoding name: 0 for the empty name (the system's ANSI code page),
// CODEPAGE_UTF32 for names that begin with "UTF-32" exactly, -1 for a name the table does not hold.
// Letters A-Z compare without regard to case.
int32_t EncodingCodePage(std::u16string_view name);
