// The product installer of the end-to-end runs: a tiny Windows program that, when started, writes
// "<kind> <its own file name>" into launch-record.txt beside itself, so a test can see that it ran.
#include <windows.h>

#include <string>

#ifndef PAYLOAD_KIND
#error "PAYLOAD_KIND names the payload (full or patch)"
#endif

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

  const HANDLE file = CreateFileW((folder + L"launch-record.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(file);
  return ok ? 0 : 1;
}
