// The profile seam on Windows: GetPrivateProfileStringW, which reads files only.
#include "platform/profile.h"

#include <windows.h>

#include <vector>

#include "platform/profile_rules.h"
#include "platform/win32/wide.h"

namespace platform {

std::u16string ReadProfileFileString(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view defaultText, const std::u16string& path,
                                     size_t bufferChars) {
  if (bufferChars == 0) return {};
  const std::u16string sectionZ(section), keyZ(key), defaultZ(defaultText);
  std::vector<wchar_t> buffer(bufferChars, L'\0');
  const DWORD length = GetPrivateProfileStringW(win32::Wide(sectionZ), win32::Wide(keyZ), win32::Wide(defaultZ),
                                                buffer.data(), static_cast<DWORD>(bufferChars), win32::Wide(path));
  // The text ends at its first terminator, whatever the call counted.
  return win32::FromWide(buffer.data(), std::min<size_t>(length, std::char_traits<wchar_t>::length(buffer.data())));
}

namespace {

// The names come as a list of terminated strings ended by an empty one; a full buffer cuts the
// list, so it grows until the list fits. `read` fills a buffer and returns the characters written.
template <typename Read>
std::vector<std::u16string> ReadNameList(Read read) {
  std::vector<wchar_t> buffer(4096, L'\0');
  DWORD length = 0;
  for (;;) {
    length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length + 2 < buffer.size() || buffer.size() >= (1u << 24)) break;
    buffer.assign(buffer.size() * 4, L'\0');
  }
  std::vector<std::u16string> names;
  for (size_t at = 0; at < length && buffer[at] != L'\0';) {
    const size_t size = std::char_traits<wchar_t>::length(buffer.data() + at);
    names.push_back(win32::FromWide(buffer.data() + at, size));
    at += size + 1;
  }
  return names;
}

}  // namespace

std::vector<std::u16string> ReadProfileKeys(std::u16string_view section, const std::u16string& path) {
  const std::u16string sectionZ(section);
  return ReadNameList([&](wchar_t* buffer, DWORD size) {
    return GetPrivateProfileStringW(win32::Wide(sectionZ), nullptr, L"", buffer, size, win32::Wide(path));
  });
}

// The list of key names needs no room beyond its first character to tell whether it is empty.
bool ProfileFileSectionHasKeys(std::u16string_view section, const std::u16string& path) {
  const std::u16string sectionZ(section);
  wchar_t first[4] = {};
  GetPrivateProfileStringW(win32::Wide(sectionZ), nullptr, L"", first, 4, win32::Wide(path));
  return first[0] != L'\0';
}

std::vector<std::u16string> ReadProfileSectionNames(const std::u16string& path) {
  return ReadNameList([&](wchar_t* buffer, DWORD size) {
    return GetPrivateProfileSectionNamesW(buffer, size, win32::Wide(path));
  });
}

}  // namespace platform
