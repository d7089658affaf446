// SHA-256 digests as the configuration writes them: 64 hexadecimal digits, in either case; and the
// system's result codes as the report lines write them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/trust.h"

// True for exactly 64 hexadecimal digits, upper or lower case, and nothing else.
bool IsSha256Text(std::u16string_view text);

// The digest as 64 lower-case hexadecimal digits.
std::u16string Sha256Text(const platform::Sha256Digest& digest);

// True when `text` is a valid digest text equal to `digest`, whatever its case.
bool MatchesSha256Text(const platform::Sha256Digest& digest, std::u16string_view text);

// "0x" and eight upper-case hexadecimal digits.
std::u16string ResultCodeText(uint32_t code);
