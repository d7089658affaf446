// The Windows side of an image button: a push button of the dialog template, subclassed and made
// owner-drawn, whose messages reach the button's portable logic.
#pragma once

#include <windows.h>

#include "platform/window.h"

namespace platform::win32 {

class ButtonHost final : public IButtonWindow {
 public:
  explicit ButtonHost(HWND button) : m_hWnd(button) {}
  ButtonHost(const ButtonHost&) = delete;
  ButtonHost& operator=(const ButtonHost&) = delete;
  ~ButtonHost() override;

  // Subclasses the window, reports its type bits and turns it owner-drawn.
  void Bind(IButtonEvents& events);
  IButtonEvents* Events() const { return m_events; }

  Size GetClientSize() override;
  Rect GetRectInParent() override;
  void Move(const Rect& rect) override;
  std::u16string GetText() override;
  void SetText(const std::u16string& text) override;
  void Redraw() override;
  void TakeFocus() override;
  void LeaveTabOrder() override;
  void TrackMouseLeave() override;
  void OpenAddress(const std::u16string& address) override;
  void PlayNamedSound(const std::u16string& name, uint32_t flags) override;
  std::optional<ButtonSystemColors> GetSystemColors() override;
  void SetTooltipReadingOrder(ReadingOrder order) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
  void RelayToTooltip(UINT msg, WPARAM wp, LPARAM lp);
  void OnMouseMove(LPARAM lp, WPARAM wp);
  // Gives the focus to the next tab stop (the dialog itself when there is none).
  void PassFocusOn();
  void ApplyTooltipReadingOrder();
  void Unbind();

  HWND m_hWnd;
  IButtonEvents* m_events = nullptr;
  WNDPROC m_oldProc = nullptr;
  HWND m_hTooltip = nullptr;
  ReadingOrder m_tooltipOrder = ReadingOrder::LeftToRight;
};

}  // namespace platform::win32
