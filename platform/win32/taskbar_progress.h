// The window's taskbar button as a progress display. The taskbar announces itself with a
// registered message once the button exists (and again after the shell restarts); until then, and
// on a system without the taskbar's progress interface, requests are only remembered.
#pragma once

#include <shobjidl.h>
#include <windows.h>

#include <cstdint>

#include "platform/win32/unique_handle.h"
#include "platform/window.h"

namespace platform::win32 {

class TaskbarProgressDisplay {
 public:
  TaskbarProgressDisplay();

  // True for the taskbar's "button created" message; the display then connects to `window`'s
  // button and shows the last request.
  bool OnMessage(HWND window, UINT msg);
  void Show(TaskbarProgress state, uint64_t completed, uint64_t total);

 private:
  struct ReleaseInterface {
    void operator()(ITaskbarList3* taskbar) const { taskbar->Release(); }
  };

  void Apply();

  UINT m_buttonCreated;
  HWND m_hWnd = nullptr;
  UniqueHandle<ITaskbarList3*, ReleaseInterface> m_taskbar;
  TaskbarProgress m_state = TaskbarProgress::None;
  uint64_t m_completed = 0;
  uint64_t m_total = 0;
};

}  // namespace platform::win32
