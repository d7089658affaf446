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

// The run's exit code is the process's, as deployment tools read it.
uint32_t RunInstaller() {
  RestrictDllSearchToSystemFolder();
  const std::u16string commandLine = platform::CommandLine();
  // The restart manager may start the installer again, with the same switches.
  RegisterApplicationRestart(platform::win32::Wide(std::u16string(ArgumentsOf(commandLine))), 0);
  LoadCommonControls();
  return theApp.InitInstance(commandLine);
}

}  // namespace

#ifdef _WIN64
// The 64-bit build, which the Windows tests may run on, starts through the C runtime as usual: its
// linker fails on this program's link without the runtime's start files.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return static_cast<int>(RunInstaller()); }
#else
// The shipped 32-bit program starts here, without the C runtime's start-up code (it is linked with
// -nostartfiles, which makes it about 10 KB smaller). It needs none of what that code prepares
// (command-line arguments, floating-point and exception settings, thread-local storage, relocations
// of imported data), only the constructors of the program's static objects. The process ends with
// ExitProcess, so nothing registered to run at exit is kept.

// The static objects' constructors as the linker lists them: a count or -1, the constructors,
// which run from the last to the first, and a null entry.
using Constructor = void (*)();
extern "C" Constructor __CTOR_LIST__[];

namespace {

void ConstructStaticObjects() {
  size_t count = 0;
  while (__CTOR_LIST__[count + 1] != nullptr) ++count;
  for (size_t i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

}  // namespace

// Destructors of static objects register here as they are constructed; none needs to run.
extern "C" int atexit(void (*)()) { return 0; }

extern "C" [[noreturn]] void TorvinEntry() {
  ConstructStaticObjects();
  ExitProcess(RunInstaller());
}
#endif
