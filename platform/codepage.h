// Code-page seam: bytes in a Windows code page to UTF-16. Windows converts with the system; Linux
// converts with iconv and a fixed code-page-to-charset map, so a file reads the same on every Linux
// machine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The code page that 0 ("the system's ANSI code page") stands for. Linux has no such setting, so
// it is fixed to Windows-1252, the code page of a Windows or Wine installation without a locale.
int32_t AnsiCodePage();

// Converts count bytes in codePage (0: the ANSI code page) to UTF-16. Without a destination the
// units are only counted; with one, the result is written only when it fits in capacity units.
// Malformed or unmapped bytes become replacement characters. Returns the number of UTF-16 units,
// or 0 when the platform cannot convert from this code page, the input is empty or does not fit.
int32_t MultiByteToUtf16(int32_t codePage, const char* bytes, int32_t count, char16_t* destination,
                         int32_t capacity);

// The whole UTF-16 text of `bytes` in codePage (0: the ANSI code page); empty when the platform
// cannot convert from it.
std::u16string ToUtf16(int32_t codePage, std::string_view bytes);

}  // namespace platform
