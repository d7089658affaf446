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
  return KEY_READ | (view == RegistryView::Bits64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY);
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
