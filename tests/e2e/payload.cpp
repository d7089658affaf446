// The product installer of the end-to-end runs: a tiny Windows program that, when started, writes
// "<kind> <its own file name>" into launch-record.txt beside itself, so a test can see that it ran,
// and its arguments as it split them, one a line in UTF-8, into launch-arguments.txt. It ends with
// the exit code named by TORVIN_E2E_PAYLOAD_EXIT (0 without it).
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <string>

#ifndef PAYLOAD_KIND
#error "PAYLOAD_KIND names the payload (full or patch)"
#endif

namespace {

bool WriteWholeFile(const std::wstring& path, const std::string& text) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok != FALSE;
}

std::string ArgumentLines() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (words == nullptr) return {};
  std::string lines;
  for (int i = 1; i < count; ++i) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, words[i], -1, nullptr, 0, nullptr, nullptr);
    std::string word(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, words[i], -1, word.data(), size, nullptr, nullptr);
    lines += word + "\n";
  }
  LocalFree(words);
  return lines;
}

int ExitCodeAsked() {
  wchar_t value[16] = {};
  const DWORD length = GetEnvironmentVariableW(L"TORVIN_E2E_PAYLOAD_EXIT", value, 16);
  return length > 0 && length < 16 ? _wtoi(value) : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  std::wstring self(path, length);
  const std::wstring folder = self.substr(0, self.find_last_of(L'\\') + 1);
  const std::wstring name = self.substr(folder.size());

  std::string record = PAYLOAD_KIND " ";
  for (wchar_t c : name) record += c < 0x80 ? static_cast<char>(c) : '?';
  record += "\n";

  if (!WriteWholeFile(folder + L"launch-arguments.txt", ArgumentLines())) return 1;
  return WriteWholeFile(folder + L"launch-record.txt", record) ? ExitCodeAsked() : 1;
}
