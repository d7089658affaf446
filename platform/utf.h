// UTF-16 <-> UTF-8, for handing text to the system on Linux and for tests. Unpaired surrogates and
// malformed bytes become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace platform
