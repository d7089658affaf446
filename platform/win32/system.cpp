// The system seam on Windows: version and system information from the kernel, the module path and
// command line, the temporary folder, the interface language, the display scale, the local time,
// and debug output.
#include "platform/system.h"

#include <windows.h>
// After windows.h, which it needs.

#include <vector>

#include "platform/win32/wide.h"

namespace platform {

std::optional<OsVersion> QueryOsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(&info)) return std::nullopt;
  return OsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId};
}

// A 64-bit process runs on 64-bit Windows by being one, and the ordinary query describes the
// system. A 32-bit process learns from IsWow64Process whether the 64-bit system emulates it: only
// then does the native query differ from the ordinary one, which describes the emulated processor.
uint16_t QuerySystemArchitecture() {
  SYSTEM_INFO info{};
#ifdef _WIN64
  GetSystemInfo(&info);
#else
  BOOL emulated = FALSE;
  if (IsWow64Process(GetCurrentProcess(), &emulated) && emulated)
    GetNativeSystemInfo(&info);
  else
    GetSystemInfo(&info);
#endif
  return info.wProcessorArchitecture;
}

std::u16string ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return win32::FromWide(buffer.data(), length);
    if (buffer.size() >= 32768) return {};  // longer than any path the system accepts
    buffer.resize(buffer.size() * 2);
  }
}

std::u16string CommandLine() { return win32::FromWide(GetCommandLineW()); }

std::u16string TempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return {};
  if (buffer[length - 1] == L'\\') --length;
  return win32::FromWide(buffer, length);
}

int32_t SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 96;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

LocalTime CurrentLocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

// The list comes as terminated names ended by an empty one.
std::vector<std::u16string> PreferredUILanguages() {
  ULONG count = 0, size = 0;
  if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) || size == 0) return {};
  std::vector<wchar_t> names(size, L'\0');
  if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size)) return {};
  std::vector<std::u16string> tags;
  for (size_t at = 0; at < names.size() && names[at] != L'\0';) {
    const size_t length = std::char_traits<wchar_t>::length(names.data() + at);
    tags.push_back(win32::FromWide(names.data() + at, length));
    at += length + 1;
  }
  return tags;
}

// Without a debugger nobody reads the line, and raising the debug-print exception for nobody only
// costs (and trips some emulated systems' unwinding).
void DebugLine(std::u16string_view line) {
  if (!IsDebuggerPresent()) return;
  std::u16string text(line);
  OutputDebugStringW(win32::Wide(text));
}

void SleepFor(uint32_t milliseconds) { Sleep(milliseconds); }

int64_t UnixTimeSeconds() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  // A file time counts 100-ns steps since 1601-01-01.
  const uint64_t steps = (uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
  return static_cast<int64_t>(steps / 10'000'000) - 11'644'473'600;
}

}  // namespace platform
