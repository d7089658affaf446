// The lenient UTF-8 reading that decides whether undeclared 8-bit text is UTF-8.
#pragma once

#include <cstdint>

// Reads one character at `position` (moved past what was read) before `end`: its code point, or
// -1 for a sequence that is malformed or cut by the end, with `position` left on the offending
// byte. Only the lead byte's length bits and the continuation bytes' top bit are examined, so
// overlong forms and surrogate code points pass.
int32_t DecodeUtf8Char(const unsigned char*& position, const unsigned char* end);

// Whether the bytes read as UTF-8 by DecodeUtf8Char; plain ASCII and empty text do.
bool DetectUtf8(const char* bytes, int32_t count);
