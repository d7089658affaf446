// The profile seam on Linux: the file's bytes looked up by the rules of the Windows call.
#include <fstream>
#include <iterator>

#include "platform/posix/native_path.h"
#include "platform/profile.h"
#include "platform/profile_rules.h"

namespace platform {
namespace {

std::u16string ReadProfileText(const std::u16string& path) {
  std::ifstream in(posix::NativePath(path), std::ios::binary);
  if (!in) return {};
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return DecodeProfileText(bytes);
}

}  // namespace

std::u16string ReadProfileFileString(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view defaultText, const std::u16string& path,
                                     size_t bufferChars) {
  return LookUpProfileString(ReadProfileText(path), section, key, defaultText, bufferChars);
}

std::vector<std::u16string> ReadProfileKeys(std::u16string_view section, const std::u16string& path) {
  return ListProfileKeys(ReadProfileText(path), section);
}

bool ProfileFileSectionHasKeys(std::u16string_view section, const std::u16string& path) {
  return !ReadProfileKeys(section, path).empty();
}

std::vector<std::u16string> ReadProfileSectionNames(const std::u16string& path) {
  return ListProfileSectionNames(ReadProfileText(path));
}

}  // namespace platform
