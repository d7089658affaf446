// The profile lookup: a file on disk through the platform's own lookup, text in memory through
// the rules that lookup follows.
#include "platform/profile.h"

#include "platform/profile_rules.h"

namespace platform {

std::u16string ReadProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view defaultText, const FileSource& file, size_t bufferChars) {
  if (!file.IsInMemory()) return ReadProfileFileString(section, key, defaultText, file.Path(), bufferChars);
  const std::u16string text = DecodeProfileText(file.Bytes().value_or(std::string_view()));
  return LookUpProfileString(text, section, key, defaultText, bufferChars);
}

}  // namespace platform
