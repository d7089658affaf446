// The profile lookups: a file on disk through the platform's own lookup, text in memory through
// the rules that lookup follows.
#include "platform/profile.h"

#include "platform/profile_rules.h"

namespace platform {
namespace {

std::u16string InMemoryText(const FileSource& file) { return DecodeProfileText(file.Bytes().value_or(std::string_view())); }

}  // namespace

std::u16string ReadProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view defaultText, const FileSource& file, size_t bufferChars) {
  if (!file.IsInMemory()) return ReadProfileFileString(section, key, defaultText, file.Path(), bufferChars);
  return LookUpProfileString(InMemoryText(file), section, key, defaultText, bufferChars);
}

bool ProfileSectionHasKeys(std::u16string_view section, const FileSource& file) {
  if (!file.IsInMemory()) return ProfileFileSectionHasKeys(section, file.Path());
  return !ListProfileKeys(InMemoryText(file), section).empty();
}

}  // namespace platform
