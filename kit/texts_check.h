// The texts file as the installer reads it: its encoding, keys it does not know, values it cuts,
// and texts left in English.
#pragma once

#include <string>

#include "kit/findings.h"

namespace kit {

// How the installer will decode the file, in words ("UTF-16 with a byte-order mark"); empty when
// there is no texts file (the window is then in English).
std::string CheckTexts(const std::u16string& folder, Findings& findings);

// The known key closest to `key` by edit distance, letter case aside.
std::u16string_view ClosestKnownKey(std::u16string_view key);

}  // namespace kit
