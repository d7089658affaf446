// The window's face for assistive technology: an IAccessible answered from the portable description
// (IDialogEvents::DescribeFace), served for the dialog's client area and for each button window,
// and the events that tell readers of a change.
#pragma once

#include <windows.h>

#include "platform/window.h"

namespace platform::win32 {

// Makes the dialog's face describable while its logic lives; detached, every object served for it
// answers "disconnected" (a reader may hold one after the window is gone).
void AttachFace(HWND dialog, IDialogEvents& events);
void DetachFace(HWND dialog);

// WM_GETOBJECT of the dialog, and of a button window of it: the client area's object; 0 for other
// object ids, and for a button that shows no part of the face.
LRESULT ServeDialogObject(HWND dialog, WPARAM wp, LPARAM lp);
LRESULT ServeButtonObject(HWND button, WPARAM wp, LPARAM lp);

// Tells listeners that `part` of the dialog's face changed (its child id is part + 1).
void NotifyFaceChange(HWND dialog, AccessiblePart part, AccessibleChange change);
// A button window has taken the focus: its part of the face has it.
void NotifyButtonFocus(HWND button);

}  // namespace platform::win32
