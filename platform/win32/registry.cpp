// The registry seam on Windows: an existence test through RegOpenKeyExW.
#include "platform/registry.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

struct CloseRegistryKey {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using RegistryKey = win32::UniqueHandle<HKEY, CloseRegistryKey>;

REGSAM AccessFor(RegistryView view) {
  switch (view) {
    case RegistryView::Bits64:
      return KEY_READ | KEY_WOW64_64KEY;
    case RegistryView::Bits32:
      return KEY_READ | KEY_WOW64_32KEY;
    case RegistryView::Default:
      break;
  }
  return KEY_READ;
}

}  // namespace

bool LocalMachineKeyExists(const std::u16string& path, RegistryView view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, win32::Wide(path), 0, AccessFor(view), &opened) != ERROR_SUCCESS)
    return false;
  RegistryKey key(opened);
  return true;
}

}  // namespace platform
