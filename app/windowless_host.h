// The dialog's host for /quiet: no window at all. The dialog's logic runs as it would in its
// window, driven by its timers on the calling thread; painting, the taskbar and the cursor are
// nothing, a message box is never shown (it answers Cancel), and the installer is launched with no
// owner.
#pragma once

#include "platform/window.h"

// Runs the dialog without a window until it ends; its end result.
int RunWithoutWindow(platform::IDialogEvents& events);
