// UTF-8 to UTF-16 exactly as Windows' MultiByteToWideChar does it without flags, so that a file
// reads the same on both systems: every malformed sequence becomes U+FFFD.
#pragma once

#include <cstddef>

namespace platform::posix {

// The UTF-16 units that count bytes of UTF-8 make.
size_t CountUtf8AsUtf16(const char* bytes, size_t count);

// Writes the UTF-16 form of count bytes of UTF-8 to out, which has room for count units (the
// form is never longer); returns the units written.
size_t Utf8ToUtf16(const char* bytes, size_t count, char16_t* out);

}  // namespace platform::posix
