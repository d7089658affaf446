// The texts file as the installer reads it: its encoding, keys it does not know, values it cuts,
// and texts left in English.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kit/findings.h"

namespace kit {

// How the installer will decode the file, in words ("UTF-16 with a byte-order mark"); empty when
// there is no texts file (the window is then in English).
std::string CheckTexts(const std::u16string& folder, Findings& findings);

// The known key closest to `key` by edit distance, letter case aside.
std::u16string_view ClosestKnownKey(std::u16string_view key);

// A finding for each of `keys` that the installer does not know, naming the known key it most
// likely stands for; `where` follows the key in the sentence (" in [UISTRING.de]", or nothing).
// Returns those known keys.
std::vector<std::u16string_view> ReportUnknownKeys(const std::vector<std::u16string>& keys,
                                                   std::string_view where, const std::string& file,
                                                   Findings& findings);

}  // namespace kit
