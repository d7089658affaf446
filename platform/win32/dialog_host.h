// The Windows host of the installer's window: a modal dialog from a template of the executable,
// whose messages are routed to the dialog's portable logic.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/id_slots.h"
#include "platform/win32/button_host.h"
#include "platform/win32/taskbar_progress.h"
#include "platform/window.h"

namespace platform::win32 {

class DialogHost final : public IWindowHost {
 public:
  explicit DialogHost(IDialogEvents& events);
  DialogHost(const DialogHost&) = delete;
  DialogHost& operator=(const DialogHost&) = delete;

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  Rect GetWindowRect() override;
  void MoveWindow(const Rect& rect) override;
  int32_t GetDpi() override;
  Rect GetWorkAreaUnderPointer() override;
  void SetWindowIcons() override;
  void SetTimer(uint32_t id, uint32_t milliseconds) override;
  void KillTimer(uint32_t id) override;
  void Invalidate(const Rect& rect) override;
  void PostPaint() override;
  void SendPaint() override;
  void Present(const PixelView& pixels, Point at) override;
  MessageBoxAnswer ShowMessageBox(const std::u16string& text, const std::optional<std::u16string>& caption,
                                  MessageBoxKind kind, ReadingOrder order) override;
  void SetCursor(Cursor cursor) override;
  void Minimize() override;
  void StartDrag(Point at) override;
  ProgramLaunch OpenInstaller(const std::u16string& path, const std::u16string& parameters) override;
  void SetTaskbarProgress(TaskbarProgress state, uint64_t completed, uint64_t total) override;
  void EndDialog(int result) override;
  void SetTitle(const std::u16string& title) override;
  SystemLook GetSystemLook() override;
  void NotifyAccessibleChange(AccessiblePart part, AccessibleChange change) override;
  void RedrawAll() override;
  IButtonWindow& Control(int id) override;
  void BindControl(int id, IButtonEvents& events) override;

 private:
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR OnInitDialog(HWND hwnd);
  void OnUiStateChange(WPARAM wp);
  void OnEraseBackground(HDC target);
  void OnPaint();
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void OnCommand(int id, int code);
  void ForwardSysColorChange(WPARAM wp, LPARAM lp);
  // Enter with the focus on one of our buttons presses it, as the dialog manager does for a default
  // push button.
  void PressFocusedButton();
  void OnDpiChanged(WPARAM wp, const RECT& suggested);
  IButtonEvents* BoundEvents(int id);
  // A message's own return value, for the messages whose result a dialog procedure cannot return.
  INT_PTR Result(LRESULT value);

  IDialogEvents& m_events;
  HWND m_hWnd = nullptr;
  HICON m_hIcon = nullptr;
  HDC m_hEraseTarget = nullptr;
  bool m_alwaysFocusCues = false;  // the user's setting: focus cues even before the keyboard is used
  bool m_focusCues = false;        // the buttons show where the focus is
  IdSlots<std::unique_ptr<ButtonHost>, 2> m_controls;  // the template's two buttons
  TaskbarProgressDisplay m_taskbar;
};

}  // namespace platform::win32
