// The launch seam on Windows: ShellExecuteExW with "open", keeping the process handle for a wait.
#include "platform/launch.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/win32/com_apartment.h"
#include "platform/win32/program_launch.h"
#include "platform/win32/wide.h"

namespace platform {

struct Process {
  HANDLE handle;
};

void ProcessCloser::operator()(Process* process) const {
  if (process == nullptr) return;
  CloseHandle(process->handle);
  delete process;
}

namespace win32 {
ProgramLaunch OpenProgramOwnedBy(HWND owner, const std::u16string& path, const std::u16string& parameters) {
  const ComApartment apartment;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // NOASYNC: the process may end soon after this returns, before an asynchronous start would.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.hwnd = owner;
  info.lpVerb = L"open";
  info.lpFile = Wide(path);
  info.lpParameters = parameters.empty() ? nullptr : Wide(parameters);
  info.nShow = SW_SHOWDEFAULT;
  ProgramLaunch launch;
  if (!ShellExecuteExW(&info)) {
    launch.error = GetLastError();
    return launch;
  }
  launch.started = true;
  if (info.hProcess != nullptr) launch.process.reset(new Process{info.hProcess});
  return launch;
}

}  // namespace win32

ProgramLaunch OpenProgram(const std::u16string& path, const std::u16string& parameters) {
  return win32::OpenProgramOwnedBy(nullptr, path, parameters);
}

std::optional<uint32_t> WaitForExit(Process& process) {
  DWORD code = 0;
  if (WaitForSingleObject(process.handle, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.handle, &code)) {
    return std::nullopt;
  }
  return code;
}

}  // namespace platform
