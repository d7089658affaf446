// The registry as the installer needs it: does a key exist below the local-machine hive, looked up
// in one of the registry's views.
#pragma once

#include <string>

namespace platform {

// Every lookup names its view: a process's default view is that of its own bitness, so the 32-bit
// product and its 64-bit test build would otherwise read different keys. 32-bit Windows has only the
// one view, which both names reach there.
enum class RegistryView {
  Bits64,  // the 64-bit view (WOW64 64-bit key)
  Bits32,  // the 32-bit view (WOW64 32-bit key, the Wow6432Node keys of a 64-bit system)
};

// True when `path` names an existing key below the local-machine hive in `view`, for reading. The
// key is opened only to learn that and closed at once. The empty path names the hive itself.
bool LocalMachineKeyExists(const std::u16string& path, RegistryView view);

}  // namespace platform
