// The one crossing from our UTF-16 paths to the system's on Linux: UTF-8, and the Windows
// separator "\" read as "/" so that paths built for either platform name the same file.
#pragma once

#include <string>
#include <string_view>

#include "platform/utf.h"

namespace platform::posix {

inline std::string NativePath(std::u16string_view path) {
  std::string native = ToUtf8(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

}  // namespace platform::posix
