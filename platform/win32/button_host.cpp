// Message plumbing of the image button: owner-draw binding, tooltip relay, double click as two
// clicks, the BM_ messages, the dialog code, hover tracking, focus on disable, cursor, sounds and
// opening the button's address.
#include "platform/win32/button_host.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <windowsx.h>

#include "platform/win32/accessible_face.h"
#include "platform/win32/cursor.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

constexpr wchar_t kHostProperty[] = L"TorvinButtonHost";
constexpr LONG_PTR kTypeBits = 0x1F;
constexpr int kTooltipMaxWidth = 400;

using PlaySoundFn = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
PlaySoundFn PlaySoundFunction = nullptr;  // set once, by LoadPlaySound

BOOL CALLBACK LoadPlaySound(PINIT_ONCE, PVOID, PVOID*) {
  const HMODULE library = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (library) {
    PlaySoundFunction =
        reinterpret_cast<PlaySoundFn>(reinterpret_cast<void (*)()>(GetProcAddress(library, "PlaySoundW")));
  }
  return TRUE;
}

}  // namespace

ButtonHost::~ButtonHost() { Unbind(); }

void ButtonHost::Bind(IButtonEvents& events) {
  Unbind();
  m_events = &events;
  SetPropW(m_hWnd, kHostProperty, this);
  m_oldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonHost::WindowProc)));
  const LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  events.OnBound(static_cast<uint32_t>(style & kTypeBits));
  SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~kTypeBits) | BS_OWNERDRAW | WS_CLIPSIBLINGS);
  SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void ButtonHost::Unbind() {
  if (!m_events) return;
  SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
  RemovePropW(m_hWnd, kHostProperty);
  if (m_hTooltip) DestroyWindow(m_hTooltip);
  m_hTooltip = nullptr;
  m_events = nullptr;
}

Size ButtonHost::GetClientSize() {
  RECT rc{};
  GetClientRect(m_hWnd, &rc);
  return {rc.right - rc.left, rc.bottom - rc.top};
}

Rect ButtonHost::GetRectInParent() {
  RECT rc{};
  GetWindowRect(m_hWnd, &rc);
  MapWindowPoints(nullptr, GetParent(m_hWnd), reinterpret_cast<POINT*>(&rc), 2);
  return {rc.left, rc.top, rc.right, rc.bottom};
}

void ButtonHost::Move(const Rect& rect) { MoveWindow(m_hWnd, rect.left, rect.top, rect.Width(), rect.Height(), TRUE); }

std::u16string ButtonHost::GetText() {
  const int length = GetWindowTextLengthW(m_hWnd);
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(m_hWnd, Wide(text.data()), length + 1)));
  return text;
}

void ButtonHost::SetText(const std::u16string& text) { SetWindowTextW(m_hWnd, Wide(text)); }

void ButtonHost::Redraw() { InvalidateRect(m_hWnd, nullptr, TRUE); }

void ButtonHost::TakeFocus() { SetFocus(m_hWnd); }

void ButtonHost::LeaveTabOrder() {
  SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetWindowLongPtrW(m_hWnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
  if (GetFocus() == m_hWnd) PassFocusOn();
}

void ButtonHost::TrackMouseLeave() {
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
  TrackMouseEvent(&track);
}

void ButtonHost::OpenAddress(const std::u16string& address) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = Wide(address);
  info.nShow = SW_SHOWMAXIMIZED;
  ShellExecuteExW(&info);
}

// The multimedia library is loaded on first use, from the system folder only (the executable
// imports no library that could be planted beside it).
void ButtonHost::PlayNamedSound(const std::u16string& name, uint32_t flags) {
  static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  InitOnceExecuteOnce(&once, LoadPlaySound, nullptr, nullptr);
  if (PlaySoundFunction) PlaySoundFunction(Wide(name), nullptr, flags);
}

std::optional<ButtonSystemColors> ButtonHost::GetSystemColors() {
  ButtonSystemColors colors;
  colors.face = GetSysColor(COLOR_BTNFACE);
  colors.text = GetSysColor(COLOR_BTNTEXT);
  colors.highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  colors.light3d = GetSysColor(COLOR_3DLIGHT);
  colors.shadow = GetSysColor(COLOR_BTNSHADOW);
  colors.darkShadow3d = GetSysColor(COLOR_3DDKSHADOW);
  return colors;
}

void ButtonHost::SetTooltipReadingOrder(ReadingOrder order) {
  m_tooltipOrder = order;
  ApplyTooltipReadingOrder();
}

// A right-to-left tooltip is mirrored and reads from the right.
void ButtonHost::ApplyTooltipReadingOrder() {
  if (!m_hTooltip) return;
  constexpr LONG_PTR kRightToLeft = WS_EX_LAYOUTRTL | WS_EX_RTLREADING;
  const LONG_PTR style = GetWindowLongPtrW(m_hTooltip, GWL_EXSTYLE);
  SetWindowLongPtrW(
      m_hTooltip, GWL_EXSTYLE,
      m_tooltipOrder == ReadingOrder::RightToLeft ? style | kRightToLeft : style & ~kRightToLeft);
}

LRESULT CALLBACK ButtonHost::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<ButtonHost*>(GetPropW(hwnd, kHostProperty));
  return self ? self->Handle(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT ButtonHost::Default(UINT msg, WPARAM wp, LPARAM lp) { return CallWindowProcW(m_oldProc, m_hWnd, msg, wp, lp); }

// The tooltip is made on the first message and is given no tool; it only sees the mouse traffic.
void ButtonHost::RelayToTooltip(UINT msg, WPARAM wp, LPARAM lp) {
  if (!m_hTooltip) {
    m_hTooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    if (!m_hTooltip) return;
    SendMessageW(m_hTooltip, TTM_ACTIVATE, FALSE, 0);
    SendMessageW(m_hTooltip, TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
    ApplyTooltipReadingOrder();
  }
  if (msg < WM_MOUSEFIRST || msg > WM_MOUSELAST) return;
  MSG relayed{m_hWnd, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
  SendMessageW(m_hTooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void ButtonHost::OnMouseMove(LPARAM lp, WPARAM wp) {
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ClientToScreen(m_hWnd, &pt);
  ButtonMouseMove move;
  move.overButton = WindowFromPoint(pt) == m_hWnd;
  move.leftButtonDown = (wp & MK_LBUTTON) != 0;
  move.windowActive = GetActiveWindow() != nullptr;
  m_events->OnMouseMove(move);
}

void ButtonHost::PassFocusOn() {
  const HWND parent = GetParent(m_hWnd);
  const HWND next = GetNextDlgTabItem(parent, m_hWnd, FALSE);
  SetFocus(next && next != m_hWnd ? next : parent);
}

LRESULT ButtonHost::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  IButtonEvents& events = *m_events;
  if (msg != WM_NCDESTROY) RelayToTooltip(msg, wp, lp);
  switch (msg) {
    case WM_LBUTTONDBLCLK:  // a double click acts as two clicks
      return Default(WM_LBUTTONDOWN, wp, lp);
    case WM_MOUSEMOVE: {
      const LRESULT result = Default(msg, wp, lp);
      OnMouseMove(lp, wp);
      return result;
    }
    case WM_KEYDOWN:  // the keyboard is in use: the window shows its focus cues from now on
      SendMessageW(GetParent(m_hWnd), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
      break;
    case WM_MOUSELEAVE:
      events.OnMouseLeave();
      return 0;
    case WM_SETFOCUS: {
      const LRESULT result = Default(msg, wp, lp);
      NotifyButtonFocus(m_hWnd);
      return result;
    }
    case WM_GETOBJECT:
      if (const LRESULT object = ServeButtonObject(m_hWnd, wp, lp)) return object;
      break;
    case WM_KILLFOCUS: {
      const LRESULT result = Default(msg, wp, lp);
      events.OnKillFocus();
      return result;
    }
    case WM_ACTIVATE: {
      const LRESULT result = Default(msg, wp, lp);
      if (LOWORD(wp) == WA_INACTIVE) events.OnDeactivate();
      return result;
    }
    case WM_CANCELMODE: {
      const LRESULT result = Default(msg, wp, lp);
      events.OnCancelMode();
      return result;
    }
    case WM_ENABLE: {
      const LRESULT result = Default(msg, wp, lp);
      if (!wp) {
        PassFocusOn();
        events.OnDisabled();
      }
      return result;
    }
    case WM_SETCURSOR:
      if (const auto cursor = events.OverCursor()) {
        ::SetCursor(StandardCursor(*cursor));
        return TRUE;
      }
      break;
    case WM_GETDLGCODE:
      return Default(msg, wp, lp) | (events.IsDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_SYSCOLORCHANGE: {
      const LRESULT result = Default(msg, wp, lp);
      events.OnSysColorChange();
      return result;
    }
    case BM_SETSTYLE:
      events.OnSetStyle(static_cast<uint32_t>(wp & kTypeBits));
      return Default(msg, (wp & ~static_cast<WPARAM>(kTypeBits)) | BS_OWNERDRAW, lp);
    case BM_SETCHECK:
      events.OnSetCheck(static_cast<int32_t>(wp));
      return 0;
    case BM_GETCHECK:
      return events.GetCheck();
    case WM_NCDESTROY: {
      const LRESULT result = Default(msg, wp, lp);
      Unbind();
      return result;
    }
    default:
      break;
  }
  return Default(msg, wp, lp);
}

}  // namespace platform::win32
