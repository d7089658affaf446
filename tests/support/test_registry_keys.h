// Product keys for tests, written where the registry seam reads them: into the real registry of the
// Wine prefix on Windows, into the in-memory store on Linux. Every key lies below one root of its
// own, and the root goes when the object does.
#pragma once

#include <string>

#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/wide.h"
#else
#include "platform/posix/registry_store.h"
#endif

class TestRegistryKeys {
 public:
  TestRegistryKeys() = default;
  TestRegistryKeys(const TestRegistryKeys&) = delete;
  TestRegistryKeys& operator=(const TestRegistryKeys&) = delete;
  ~TestRegistryKeys() { Clear(); }

  // The full path below the local-machine hive of a key named `name` below the root.
  std::u16string PathOf(const std::u16string& name) const { return Root() + u"\\" + name; }

  // Creates the key `name` below the root in one view; true when it was made.
  bool Add(const std::u16string& name, platform::RegistryView view) {
#ifdef _WIN32
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, platform::win32::Wide(PathOf(name)), 0, nullptr, 0,
                        KEY_WRITE | ViewFlag(view), nullptr, &key, nullptr) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
#else
    platform::posix::AddLocalMachineKey(PathOf(name), view);
    return true;
#endif
  }

  void Clear() {
#ifdef _WIN32
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      HKEY software = nullptr;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | view, &software) !=
          ERROR_SUCCESS)
        continue;
      RegDeleteTreeW(software, platform::win32::Wide(Leaf()));
      RegDeleteKeyW(software, platform::win32::Wide(Leaf()));
      RegCloseKey(software);
    }
#else
    platform::posix::ClearLocalMachineKeys();
#endif
  }

 private:
  static std::u16string Leaf() {
#ifdef _WIN32
    std::string id = "TorvinTest-" + std::to_string(GetCurrentProcessId());
#else
    std::string id = "TorvinTest";
#endif
    return std::u16string(id.begin(), id.end());
  }
  static std::u16string Root() { return u"Software\\" + Leaf(); }

#ifdef _WIN32
  static REGSAM ViewFlag(platform::RegistryView view) {
    return view == platform::RegistryView::Bits64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
  }
#endif
};
