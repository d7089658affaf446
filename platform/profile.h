// One lookup in an INI file, with the rules of the Windows profile call: the value of `key` in
// `section`, or `defaultText` when the file, the section or the key is missing. At most
// bufferChars - 1 characters come back. The file is read anew on every call.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

std::u16string ReadProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view defaultText, const std::u16string& path,
                                 size_t bufferChars);

}  // namespace platform
