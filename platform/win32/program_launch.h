// Starting a program with the shell, owned by a window of ours (the launch seam's Windows side).
#pragma once

#include <windows.h>

#include "platform/launch.h"

namespace platform::win32 {

// OpenProgram, with `owner` (may be null) as the window any prompt of the system belongs to.
ProgramLaunch OpenProgramOwnedBy(HWND owner, const std::u16string& path, const std::u16string& parameters);

}  // namespace platform::win32
