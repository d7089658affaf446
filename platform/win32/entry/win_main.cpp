// Entry point of TorvinWebInstaller.exe. The executable usually runs from a downloads folder where
// other files lie, so before anything else DLLs are allowed to load from the system folder only.
#include <windows.h>

#include <commctrl.h>

#include "app/installer_app.h"

namespace {

// SetDefaultDllDirectories may be missing on an unpatched Windows 7, so it is looked up; the empty
// DLL directory also takes the current folder out of the search.
void RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  if (const HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
    const auto setDefault =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystemFolder();
  RegisterApplicationRestart(L"", 0);  // the restart manager may start the installer again
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  theApp.InitInstance();
  return 0;
}
