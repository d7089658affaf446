// Entry point of TorvinWebInstaller.exe. The executable usually runs from a downloads folder where
// other files lie, so before anything else DLLs are allowed to load from the system folder only,
// and the libraries that are not the system's known DLLs are loaded at run time, after that.
#include <windows.h>

#include <commctrl.h>

#include "app/installer_app.h"
#include "app/windows_arguments.h"
#include "platform/system.h"
#include "platform/win32/wide.h"

namespace {

template <typename Function>
Function LookUp(HMODULE library, const char* name) {
  return library ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name))) : nullptr;
}

// SetDefaultDllDirectories may be missing on an unpatched Windows 7, so it is looked up; the empty
// DLL directory also takes the current folder out of the search.
void RestrictDllSearchToSystemFolder() {
  const auto setDefault =
      LookUp<BOOL(WINAPI*)(DWORD)>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");
}

// The common controls (the buttons' tooltips) stay loaded for the life of the process.
void LoadCommonControls() {
  const HMODULE library = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  const auto init = LookUp<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(library, "InitCommonControlsEx");
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  if (init) init(&controls);
}

}  // namespace

// The run's exit code is the process's, as deployment tools read it.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystemFolder();
  const std::u16string commandLine = platform::CommandLine();
  // The restart manager may start the installer again, with the same switches.
  RegisterApplicationRestart(platform::win32::Wide(std::u16string(ArgumentsOf(commandLine))), 0);
  LoadCommonControls();
  return static_cast<int>(theApp.InitInstance(commandLine));
}
