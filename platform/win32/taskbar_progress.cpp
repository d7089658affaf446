// Progress on the taskbar button through the shell's taskbar list.
#include "platform/win32/taskbar_progress.h"

#include <algorithm>

namespace platform::win32 {

namespace {

TBPFLAG ToFlag(TaskbarProgress state) {
  switch (state) {
    case TaskbarProgress::Indeterminate:
      return TBPF_INDETERMINATE;
    case TaskbarProgress::Normal:
      return TBPF_NORMAL;
    case TaskbarProgress::Paused:
      return TBPF_PAUSED;
    case TaskbarProgress::Error:
      return TBPF_ERROR;
    case TaskbarProgress::None:
      break;
  }
  return TBPF_NOPROGRESS;
}

}  // namespace

TaskbarProgressDisplay::TaskbarProgressDisplay()
    : m_buttonCreated(RegisterWindowMessageW(L"TaskbarButtonCreated")) {}

bool TaskbarProgressDisplay::OnMessage(HWND window, UINT msg) {
  if (msg == 0 || msg != m_buttonCreated) return false;
  m_hWnd = window;
  ITaskbarList3* taskbar = nullptr;
  if (!m_taskbar &&
      SUCCEEDED(CoCreateInstance(__uuidof(TaskbarList), nullptr, CLSCTX_INPROC_SERVER,
                                 __uuidof(ITaskbarList3), reinterpret_cast<void**>(&taskbar)))) {
    m_taskbar.Reset(taskbar);
    if (FAILED(m_taskbar.Get()->HrInit())) m_taskbar.Reset();
  }
  Apply();
  return true;
}

void TaskbarProgressDisplay::Show(TaskbarProgress state, uint64_t completed, uint64_t total) {
  if (state == m_state && completed == m_completed && total == m_total) return;
  m_state = state;
  m_completed = completed;
  m_total = total;
  Apply();
}

void TaskbarProgressDisplay::Apply() {
  if (!m_taskbar) return;
  ITaskbarList3* taskbar = m_taskbar.Get();
  taskbar->SetProgressState(m_hWnd, ToFlag(m_state));
  const bool showsShare = m_state == TaskbarProgress::Normal || m_state == TaskbarProgress::Paused ||
                          m_state == TaskbarProgress::Error;
  if (showsShare && m_total != 0) taskbar->SetProgressValue(m_hWnd, std::min(m_completed, m_total), m_total);
}

}  // namespace platform::win32
