// The INI rules of the Windows profile call, applied to text we hold ourselves (see the .cpp).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The text of an INI file's bytes, decoded as the profile call decodes a file.
std::u16string DecodeProfileText(std::string_view bytes);

// The value of `key` in `section` of `text`, or `defaultText` when the section or the key is
// missing; at most bufferChars - 1 characters.
std::u16string LookUpProfileString(std::u16string_view text, std::u16string_view section, std::u16string_view key,
                                   std::u16string_view defaultText, size_t bufferChars);

// The key names of `section` in `text` that have a value ("="), in order.
std::vector<std::u16string> ListProfileKeys(std::u16string_view text, std::u16string_view section);

// The section names of `text`, in order, each once (the first of a name counts).
std::vector<std::u16string> ListProfileSectionNames(std::u16string_view text);

// The lookup in a file on disk, by this platform's own means (the profile call on Windows; the
// rules above on the file's bytes elsewhere).
std::u16string ReadProfileFileString(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view defaultText, const std::u16string& path,
                                     size_t bufferChars);
// Whether `section` of the file on disk at `path` has a key with a value, by the same means.
bool ProfileFileSectionHasKeys(std::u16string_view section, const std::u16string& path);

}  // namespace platform
