// One INI lookup, with the rules of the Windows profile call: the value of `key` in `section`, or
// `defaultText` when the file, the section or the key is missing. At most bufferChars - 1
// characters come back. A file on disk is read anew on every call; a file held in memory (packed
// inside the executable) is looked up by the same rules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_source.h"

namespace platform {

std::u16string ReadProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view defaultText, const FileSource& file, size_t bufferChars);

// The key names of `section` in the file at `path` that have a value ("="), in file order, as the
// same call lists them when asked for no particular key; empty when the file or the section is missing.
std::vector<std::u16string> ReadProfileKeys(std::u16string_view section, const std::u16string& path);

// Whether `section` of the file has at least one key with a value.
bool ProfileSectionHasKeys(std::u16string_view section, const FileSource& file);

// The section names of the file at `path`, in file order, each once (the first of a name counts);
// empty when the file is missing.
std::vector<std::u16string> ReadProfileSectionNames(const std::u16string& path);

}  // namespace platform
