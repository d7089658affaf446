// Starts the program named by its arguments as its debugger and prints each line the program sends
// to the debug channel on standard output (UTF-8); exits with the program's exit code. The installer
// writes debug lines only while a debugger is attached, so this is how an end-to-end run reads them.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/wide_to_utf8.h"

namespace {

// Owns a handle the debug events hand over (the image file of the process and of each library).
struct EventFile {
  HANDLE handle;
  ~EventFile() {
    if (handle) CloseHandle(handle);
  }
};

// The debug string of the event, read from the debugged process, as UTF-8 without its line end.
std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  const size_t unit = info.fUnicode ? sizeof(wchar_t) : 1;
  std::string bytes(static_cast<size_t>(info.nDebugStringLength) * unit, '\0');
  SIZE_T read = 0;
  ReadProcessMemory(process, info.lpDebugStringData, bytes.data(), bytes.size(), &read);
  bytes.resize(read);
  std::string text = info.fUnicode ? ToUtf8(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                                                         bytes.size() / sizeof(wchar_t)))
                                   : bytes;
  while (!text.empty() && (text.back() == '\0' || text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

int wmain(int, wchar_t**) {
  // The command line after this program's own name, quoted as it was given.
  std::wstring commandLine = GetCommandLineW();
  const wchar_t* rest = commandLine.c_str();
  if (*rest == L'"') {
    rest = wcschr(rest + 1, L'"');
    rest = rest ? rest + 1 : L"";
  } else {
    while (*rest && *rest != L' ') ++rest;
  }
  while (*rest == L' ') ++rest;
  std::wstring program = rest;
  if (program.empty()) return 2;

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, program.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                      &startup, &started))
    return 3;
  CloseHandle(started.hThread);
  DWORD exitCode = 1;
  for (bool running = true; running;) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, INFINITE)) break;
    DWORD answer = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        EventFile{event.u.CreateProcessInfo.hFile};
        break;
      case LOAD_DLL_DEBUG_EVENT:
        EventFile{event.u.LoadDll.hFile};
        break;
      case OUTPUT_DEBUG_STRING_EVENT:
        std::printf("%s\n", ReadDebugString(started.hProcess, event.u.DebugString).c_str());
        std::fflush(stdout);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The breakpoint the system stops at once the program is loaded goes on; every other
        // exception is the program's own to handle.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
          answer = DBG_EXCEPTION_NOT_HANDLED;
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        exitCode = event.u.ExitProcess.dwExitCode;
        running = false;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, answer);
  }
  CloseHandle(started.hProcess);
  return static_cast<int>(exitCode);
}
