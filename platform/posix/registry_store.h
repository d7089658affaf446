// Linux only: the local-machine keys that the registry seam reports. Linux has no registry, so the
// store starts empty and tests fill it; the views mirror those of 64-bit Windows.
#pragma once

#include <string>

#include "platform/registry.h"

namespace platform::posix {

// Adds `path` (backslash-separated, without leading backslash) and its parent keys to one view.
void AddLocalMachineKey(const std::u16string& path, RegistryView view);
void ClearLocalMachineKeys();

}  // namespace platform::posix
