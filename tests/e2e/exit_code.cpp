// Starts the program named on the rest of its own command line (kept exactly as it was given),
// waits for it, and prints its whole exit code: a Unix parent of Wine sees only its low 8 bits.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The command line without its first word (this program's own path) and the blanks after it.
std::wstring RestOfCommandLine() {
  const std::wstring line = GetCommandLineW();
  size_t at = 0;
  if (!line.empty() && line[0] == L'"') {
    at = line.find(L'"', 1);
    at = at == std::wstring::npos ? line.size() : at + 1;
  } else {
    at = line.find_first_of(L" \t");
    if (at == std::wstring::npos) at = line.size();
  }
  at = line.find_first_not_of(L" \t", at);
  return at == std::wstring::npos ? std::wstring() : line.substr(at);
}

}  // namespace

int main() {
  std::wstring command = RestOfCommandLine();
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (command.empty() ||
      !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 1;
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  const BOOL known = GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  if (!known) return 1;
  std::printf("%lu\n", static_cast<unsigned long>(code));
  return 0;
}
