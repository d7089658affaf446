// Helpers for readable assertions on UTF-16 texts.
#pragma once

#include <string>

#include "platform/utf.h"

inline std::string U8(std::u16string_view text) { return platform::ToUtf8(text); }
