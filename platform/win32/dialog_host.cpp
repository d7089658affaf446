// The dialog procedure and the window operations of the installer's window.
#include "platform/win32/dialog_host.h"

#include <windowsx.h>

#include "platform/system.h"
#include "platform/win32/accessible_face.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/cursor.h"
#include "platform/win32/pixel_blit.h"
#include "platform/win32/program_launch.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

constexpr int kIconResource = 128;
// Not in every SDK's headers: the message comes from Windows 8.1 on.
constexpr UINT kDpiChangedMessage = 0x02E0;
// Not in every SDK's headers either: Windows Vista's "animate controls and elements inside windows".
constexpr UINT kGetClientAreaAnimation = 0x1042;

// The DPI of the window's monitor where the system can tell it per window (Windows 10 from 1607 on,
// looked up so that older systems still start), else the system's DPI.
int32_t WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  // Looked up on every call (rare: start-up and DPI changes) rather than kept in a guarded static.
  const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow) {
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int32_t>(dpi);
  }
  WindowDC screen(nullptr);
  return screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
}

UINT MessageBoxFlags(MessageBoxKind kind) {
  switch (kind) {
    case MessageBoxKind::OkCancel:
      return MB_OKCANCEL;
    case MessageBoxKind::OkExclamation:
      return MB_OK | MB_ICONEXCLAMATION;
    case MessageBoxKind::YesNoExclamation:
      return MB_YESNO | MB_ICONEXCLAMATION;
    case MessageBoxKind::OkInformation:
      return MB_OK | MB_ICONINFORMATION;
  }
  return MB_OK;
}

// Right-to-left reading, with the lines aligned at the right.
UINT ReadingFlags(ReadingOrder order) {
  return order == ReadingOrder::RightToLeft ? MB_RTLREADING | MB_RIGHT : 0;
}

MessageBoxAnswer ToAnswer(int pressed) {
  switch (pressed) {
    case IDOK:
      return MessageBoxAnswer::Ok;
    case IDYES:
      return MessageBoxAnswer::Yes;
    case IDNO:
      return MessageBoxAnswer::No;
    default:
      return MessageBoxAnswer::Cancel;
  }
}

MessageBoxAnswer ShowMessageBoxOwnedBy(HWND owner, const std::u16string& text,
                                       const std::optional<std::u16string>& caption, MessageBoxKind kind,
                                       ReadingOrder order) {
  const std::u16string title = caption ? *caption : ProgramName();  // however long its path
  return ToAnswer(MessageBoxW(owner, Wide(text), Wide(title), MessageBoxFlags(kind) | ReadingFlags(order)));
}

}  // namespace

DialogHost::DialogHost(IDialogEvents& events)
    : m_events(events), m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource))) {}

INT_PTR CALLBACK DialogHost::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    return reinterpret_cast<DialogHost*>(lp)->OnInitDialog(hwnd);
  }
  auto* host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  return host ? host->Handle(msg, wp, lp) : FALSE;
}

INT_PTR DialogHost::OnInitDialog(HWND hwnd) {
  m_hWnd = hwnd;
  AttachFace(hwnd, m_events);
  m_events.OnCreate(*this);
  BOOL alwaysShown = FALSE;
  m_alwaysFocusCues = SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &alwaysShown, 0) && alwaysShown;
  m_focusCues = m_alwaysFocusCues;
  return m_events.OnInitDialog() ? TRUE : FALSE;
}

// Windows' dialog manager shows focus cues once the keyboard is used (or at once, when the user
// always wants them), and says so with these messages; Wine's keeps no such state for a dialog and
// sends none, so the dialog keeps its own and also counts a keyboard move of the focus.
void DialogHost::OnUiStateChange(WPARAM wp) {
  const WORD action = LOWORD(wp);
  if ((HIWORD(wp) & UISF_HIDEFOCUS) == 0 || (action != UIS_SET && action != UIS_CLEAR)) return;
  const bool shown = action == UIS_CLEAR || m_alwaysFocusCues;
  if (shown == m_focusCues) return;
  m_focusCues = shown;
  m_controls.ForEach([this](uint32_t id, auto&) { InvalidateRect(GetDlgItem(m_hWnd, static_cast<int>(id)), nullptr, FALSE); });
}

INT_PTR DialogHost::Result(LRESULT value) {
  SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, value);
  return TRUE;
}

INT_PTR DialogHost::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  const Point at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  switch (msg) {
    case WM_TIMER:
      m_events.OnTimer(static_cast<uint32_t>(wp));
      return TRUE;
    case WM_ERASEBKGND:
      OnEraseBackground(reinterpret_cast<HDC>(wp));
      return Result(0);  // the face is the dialog's own: nothing was erased
    case WM_PAINT:
      OnPaint();
      return TRUE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_MOUSEMOVE:
      m_events.OnMouseMove(at);
      return FALSE;
    case WM_LBUTTONDOWN:
      m_events.OnLButtonDown(at);
      return FALSE;
    case WM_LBUTTONUP:
      m_events.OnLButtonUp(at);
      return FALSE;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return Result(TRUE);
    case WM_CTLCOLORBTN:
      if (BoundEvents(GetDlgCtrlID(reinterpret_cast<HWND>(lp)))) {
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
      }
      return FALSE;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return TRUE;
    case WM_SYSCOLORCHANGE:
      ForwardSysColorChange(wp, lp);
      m_events.OnSystemLookChanged();
      return FALSE;
    case WM_SETTINGCHANGE:  // high contrast and the animation setting arrive here
      m_events.OnSystemLookChanged();
      return FALSE;
    case WM_GETOBJECT:
      return Result(ServeDialogObject(m_hWnd, wp, lp));
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE:
      OnUiStateChange(wp);
      return FALSE;
    case WM_NEXTDLGCTL:  // Tab and Shift+Tab, as Wine's dialog manager moves the focus
      if (!LOWORD(lp)) OnUiStateChange(MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
      return FALSE;
    case WM_DESTROY:
      DetachFace(m_hWnd);
      return FALSE;
    case kDpiChangedMessage:
      OnDpiChanged(wp, *reinterpret_cast<const RECT*>(lp));
      return TRUE;
    default:
      m_taskbar.OnMessage(m_hWnd, msg);
      return FALSE;
  }
}

void DialogHost::OnEraseBackground(HDC target) {
  m_hEraseTarget = target;
  m_events.OnEraseBkgnd();
  m_hEraseTarget = nullptr;
}

void DialogHost::OnPaint() {
  PAINTSTRUCT paint{};
  const HDC surface = BeginPaint(m_hWnd, &paint);
  if (IsIconic(m_hWnd)) {
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(surface), 0);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    DrawIcon(surface, (client.right - iconWidth + 1) / 2, (client.bottom - iconHeight + 1) / 2, m_hIcon);
  }
  // The dialog presents through the window's own surface, so a paint is never clipped to what
  // this pass found invalid.
  m_events.OnPaint();
  EndPaint(m_hWnd, &paint);
}

void DialogHost::OnDrawItem(const DRAWITEMSTRUCT& item) {
  IButtonEvents* events = BoundEvents(static_cast<int>(item.CtlID));
  if (!events) return;
  ItemState state;
  state.selected = (item.itemState & ODS_SELECTED) != 0;
  state.focused = (item.itemState & ODS_FOCUS) != 0;
  state.disabled = (item.itemState & ODS_DISABLED) != 0;
  state.focusCues = m_focusCues;
  BlitPixels(item.hDC, events->DrawItem(state), {item.rcItem.left, item.rcItem.top});
}

void DialogHost::OnCommand(int id, int code) {
  if (id == IDCANCEL) {  // Escape, Alt+F4 and the system menu's close arrive as IDCANCEL
    m_events.OnCloseRequest();
    return;
  }
  if (id == IDOK) {  // Enter where the dialog manager found no default button
    PressFocusedButton();
    return;
  }
  if (code != BN_CLICKED) return;
  if (IButtonEvents* events = BoundEvents(id)) events->OnReflectedClick();
  m_events.OnClicked(id);
}

// Only top-level windows hear of a colour change; the buttons draw with the system's colours too.
void DialogHost::ForwardSysColorChange(WPARAM wp, LPARAM lp) {
  m_controls.ForEach([&](uint32_t id, auto&) {
    SendMessageW(GetDlgItem(m_hWnd, static_cast<int>(id)), WM_SYSCOLORCHANGE, wp, lp);
  });
}

// Both halves of wParam carry the new DPI (the same for x and y).
void DialogHost::OnDpiChanged(WPARAM wp, const RECT& suggested) {
  m_events.OnDpiChanged(static_cast<int32_t>(LOWORD(wp)),
                        {suggested.left, suggested.top, suggested.right, suggested.bottom});
}

void DialogHost::PressFocusedButton() {
  const HWND focused = GetFocus();
  if (focused && GetParent(focused) == m_hWnd && BoundEvents(GetDlgCtrlID(focused)))
    SendMessageW(focused, BM_CLICK, 0, 0);
}

IButtonEvents* DialogHost::BoundEvents(int id) {
  const std::unique_ptr<ButtonHost>* control = m_controls.Find(static_cast<uint32_t>(id));
  return control ? (*control)->Events() : nullptr;
}

Rect DialogHost::GetWindowRect() {
  RECT rc{};
  ::GetWindowRect(m_hWnd, &rc);
  return {rc.left, rc.top, rc.right, rc.bottom};
}

void DialogHost::MoveWindow(const Rect& rect) {
  ::MoveWindow(m_hWnd, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

int32_t DialogHost::GetDpi() { return WindowDpi(m_hWnd); }

Rect DialogHost::GetWorkAreaUnderPointer() {
  POINT pointer{};
  const HMONITOR monitor = GetCursorPos(&pointer) ? MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY)
                                                  : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);  // the primary monitor's
  }
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

void DialogHost::SetWindowIcons() {
  SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
}

void DialogHost::SetTimer(uint32_t id, uint32_t milliseconds) {
  ::SetTimer(m_hWnd, id, milliseconds, nullptr);
}

void DialogHost::KillTimer(uint32_t id) { ::KillTimer(m_hWnd, id); }

void DialogHost::Invalidate(const Rect& rect) {
  const RECT rc{rect.left, rect.top, rect.right, rect.bottom};
  InvalidateRect(m_hWnd, &rc, FALSE);
}

void DialogHost::PostPaint() { PostMessageW(m_hWnd, WM_PAINT, 0, 0); }

void DialogHost::SendPaint() { SendMessageW(m_hWnd, WM_PAINT, 0, 0); }

void DialogHost::Present(const PixelView& pixels, Point at) {
  if (m_hEraseTarget) {
    BlitPixels(m_hEraseTarget, pixels, at);
    return;
  }
  WindowDC surface(m_hWnd);
  BlitPixels(surface.Get(), pixels, at);
}

MessageBoxAnswer DialogHost::ShowMessageBox(const std::u16string& text,
                                            const std::optional<std::u16string>& caption, MessageBoxKind kind,
                                            ReadingOrder order) {
  return ShowMessageBoxOwnedBy(m_hWnd, text, caption, kind, order);
}

void DialogHost::SetCursor(Cursor cursor) { ::SetCursor(StandardCursor(cursor)); }

void DialogHost::Minimize() { ShowWindow(m_hWnd, SW_MINIMIZE); }

void DialogHost::StartDrag(Point at) {
  POINT screen{at.x, at.y};
  ClientToScreen(m_hWnd, &screen);
  PostMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
}

ProgramLaunch DialogHost::OpenInstaller(const std::u16string& path, const std::u16string& parameters) {
  return OpenProgramOwnedBy(m_hWnd, path, parameters);
}

void DialogHost::SetTaskbarProgress(TaskbarProgress state, uint64_t completed, uint64_t total) {
  m_taskbar.Show(state, completed, total);
}

void DialogHost::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

void DialogHost::SetTitle(const std::u16string& title) { SetWindowTextW(m_hWnd, Wide(title)); }

SystemLook DialogHost::GetSystemLook() {
  SystemLook look;
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  look.highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
                      (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
  BOOL animations = TRUE;  // systems without the setting animate
  if (SystemParametersInfoW(kGetClientAreaAnimation, 0, &animations, 0)) look.animations = animations != FALSE;
  SystemLook::Colors& colors = look.colors;
  colors.window = GetSysColor(COLOR_WINDOW);
  colors.windowText = GetSysColor(COLOR_WINDOWTEXT);
  colors.highlight = GetSysColor(COLOR_HIGHLIGHT);
  colors.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  colors.buttonFace = GetSysColor(COLOR_BTNFACE);
  colors.buttonText = GetSysColor(COLOR_BTNTEXT);
  colors.grayText = GetSysColor(COLOR_GRAYTEXT);
  return look;
}

void DialogHost::NotifyAccessibleChange(AccessiblePart part, AccessibleChange change) {
  NotifyFaceChange(m_hWnd, part, change);
}

void DialogHost::RedrawAll() { RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN); }

IButtonWindow& DialogHost::Control(int id) {
  std::unique_ptr<ButtonHost>& control = *m_controls.Get(static_cast<uint32_t>(id));
  if (!control) control = std::make_unique<ButtonHost>(GetDlgItem(m_hWnd, id));
  return *control;
}

void DialogHost::BindControl(int id, IButtonEvents& events) {
  Control(id);
  (*m_controls.Find(static_cast<uint32_t>(id)))->Bind(events);
}

}  // namespace platform::win32

namespace platform {

int RunModalDialog(int templateId, IDialogEvents& events) {
  const win32::ComApartment apartment;
  win32::DialogHost host(events);
  return static_cast<int>(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), nullptr,
                                          win32::DialogHost::DialogProc, reinterpret_cast<LPARAM>(&host)));
}

MessageBoxAnswer ShowMessageBoxWithoutWindow(const std::u16string& text, const std::optional<std::u16string>& caption,
                                             MessageBoxKind kind) {
  return win32::ShowMessageBoxOwnedBy(nullptr, text, caption, kind, ReadingOrder::LeftToRight);
}

}  // namespace platform
