// The one crossing between our UTF-16 strings and the Win32 API's wchar_t (the same size there).
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* Wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline std::u16string FromWide(const wchar_t* text) { return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string(); }
inline std::u16string FromWide(const wchar_t* text, size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace platform::win32
