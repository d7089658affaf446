// The profile seam on Windows: GetPrivateProfileStringW.
#include "platform/profile.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide.h"

namespace platform {

std::u16string ReadProfileString(std::u16string_view section, std::u16string_view key,
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

}  // namespace platform
