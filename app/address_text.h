// Values put into addresses (the help link's placeholders, the report's query): percent-encoded
// UTF-8, only letters, digits and "-._~" left as they are.
#pragma once

#include <string>
#include <string_view>

std::string PercentEncode(std::string_view text);
