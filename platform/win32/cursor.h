// The platform's standard cursors for the window seam's cursor names.
#pragma once

#include <windows.h>

#include "platform/window.h"

namespace platform::win32 {

inline HCURSOR StandardCursor(Cursor cursor) { return LoadCursorW(nullptr, cursor == Cursor::Hand ? IDC_HAND : IDC_ARROW); }

}  // namespace platform::win32
