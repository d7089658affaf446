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

std::vector<std::u16string> ReadProfileKeys(std::u16string_view section, const std::u16string& path) {
  const std::u16string sectionZ(section);
  // The names come as a list of terminated strings ended by an empty one; a full buffer cuts the
  // list, so it grows until the list fits.
  std::vector<wchar_t> buffer(4096, L'\0');
  DWORD length = 0;
  for (;;) {
    length = GetPrivateProfileStringW(win32::Wide(sectionZ), nullptr, L"", buffer.data(),
                                      static_cast<DWORD>(buffer.size()), win32::Wide(path));
    if (length + 2 < buffer.size() || buffer.size() >= (1u << 24)) break;
    buffer.assign(buffer.size() * 4, L'\0');
  }
  std::vector<std::u16string> keys;
  for (size_t at = 0; at < length && buffer[at] != L'\0';) {
    const size_t size = std::char_traits<wchar_t>::length(buffer.data() + at);
    keys.push_back(win32::FromWide(buffer.data() + at, size));
    at += size + 1;
  }
  return keys;
}

}  // namespace platform
