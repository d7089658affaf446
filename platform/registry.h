// The registry as the installer needs it: does a key exist below the local-machine hive, looked up
// in one of the registry's views.
#pragma once

#include <string>

namespace platform {

enum class RegistryView {
  Default,  // the view of this process
  Bits64,   // the 64-bit view (WOW64 64-bit key)
  Bits32,   // the 32-bit view (WOW64 32-bit key)
};

// True when `path` names an existing key below the local-machine hive in `view`, for reading. The
// key is opened only to learn that and closed at once. The empty path names the hive itself.
bool LocalMachineKeyExists(const std::u16string& path, RegistryView view);

}  // namespace platform
