// The downloaded installer's path, and the check that keeps a product name from pointing the
// download anywhere but the executable's folder.
#include "app/installer_path.h"

#include <array>

namespace {

constexpr std::u16string_view kForbidden = u"<>:\"/\\|?*";

// Device names that open a device instead of a file, whatever extension follows them. The serial
// and parallel ports run from 0 to 9, and the system also reads the superscript digits one, two and
// three as port numbers.
constexpr std::array<std::u16string_view, 6> kDeviceNames = {u"CON", u"PRN",    u"AUX",
                                                             u"NUL", u"CONIN$", u"CONOUT$"};
constexpr std::array<std::u16string_view, 2> kPortNames = {u"COM", u"LPT"};
constexpr std::u16string_view kPortDigits = u"0123456789\u00B9\u00B2\u00B3";

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// The part a device name is matched against: up to the first dot, trailing blanks dropped, as the
// system itself reads "nul .txt" or "com1.tar.gz".
std::u16string_view DeviceStem(std::u16string_view name) {
  std::u16string_view stem = name.substr(0, name.find(u'.'));
  while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
  return stem;
}

bool IsDeviceName(std::u16string_view stem) {
  for (std::u16string_view device : kDeviceNames) {
    if (EqualsIgnoringAsciiCase(stem, device)) return true;
  }
  if (stem.size() != 4 || kPortDigits.find(stem[3]) == std::u16string_view::npos) return false;
  for (std::u16string_view port : kPortNames) {
    if (EqualsIgnoringAsciiCase(stem.substr(0, 3), port)) return true;
  }
  return false;
}

}  // namespace

bool IsPlainFileName(std::u16string_view name) {
  if (name.empty()) return false;
  for (char16_t c : name) {
    if (c < 0x20 || kForbidden.find(c) != std::u16string_view::npos) return false;
  }
  return !IsDeviceName(DeviceStem(name));
}

std::u16string InstallerPathFor(const std::u16string& moduleDir, const std::u16string& productName) {
  return moduleDir + u"\\" + productName + u".exe";
}

std::u16string FolderOf(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}
