// The window seam: the installer's dialog window and its two image buttons as the portable logic
// sees them. The host (a real dialog from template 102 on Windows, a fake in the tests) calls the
// logic through IDialogEvents and IButtonEvents; the logic drives the windows through IWindowHost
// and IButtonWindow. Every call happens on the user-interface thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/launch.h"

namespace platform {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
};

struct Size {
  int32_t width = 0;
  int32_t height = 0;
};

// Left and top edges inside, right and bottom edges outside.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool operator==(const Rect&) const = default;
};

// Finished pixels to put on a window: 32-bit 0x00RRGGBB values, rows top-down, `stride` pixels
// from one row to the next. Borrowed for the duration of the call only.
struct PixelView {
  const uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;
};

enum class Cursor { Arrow, Hand };

enum class MessageBoxKind {
  OkCancel,           // plain, OK and Cancel buttons
  OkExclamation,      // exclamation icon, OK button
  YesNoExclamation,   // exclamation icon, Yes and No buttons
  OkInformation,      // information icon, OK button
};

enum class MessageBoxAnswer { Ok, Cancel, Yes, No };

// The reading order of a text the system lays out (a message box's, a tooltip's): right to left
// for a language written so, its lines then aligned at the right.
enum class ReadingOrder { LeftToRight, RightToLeft };

// End-dialog results.
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;

// The window's taskbar button as a progress display.
enum class TaskbarProgress {
  None,           // no progress shown
  Indeterminate,  // busy, amount unknown
  Normal,         // a share done
  Paused,         // a share done, held
  Error,          // a share done, failed
};

// The platform's push-button colours (0x00BBGGRR values).
struct ButtonSystemColors {
  uint32_t face = 0;
  uint32_t text = 0;
  uint32_t highlight = 0;
  uint32_t light3d = 0;
  uint32_t shadow = 0;
  uint32_t darkShadow3d = 0;
};

// The item state handed to a button's draw.
struct ItemState {
  bool selected = false;
  bool focused = false;
  bool disabled = false;
  // Focus cues are shown: the keyboard has been used in the window, or the user always wants them.
  bool focusCues = false;
};

// How the user asked the system to show things.
struct SystemLook {
  bool highContrast = false;
  bool animations = true;  // client-area animation
  // The system's colours (0x00BBGGRR), which a high-contrast theme sets.
  struct Colors {
    uint32_t window = 0xFFFFFF;
    uint32_t windowText = 0;
    uint32_t highlight = 0xD77800;
    uint32_t highlightText = 0xFFFFFF;
    uint32_t buttonFace = 0xF0F0F0;
    uint32_t buttonText = 0;
    uint32_t grayText = 0x6D6D6D;
    bool operator==(const Colors&) const = default;
  } colors;
  bool operator==(const SystemLook&) const = default;
};

// What assistive technology is told about the window: the window itself and the parts of its
// face, each with a role, a name, a value and its states.
enum class AccessibleRole { Dialog, ProgressBar, StaticText, PushButton, Link };

struct AccessibleItem {
  AccessibleRole role = AccessibleRole::StaticText;
  std::u16string name;
  std::u16string value;
  std::u16string defaultAction;  // empty: none
  Rect rect;                     // client coordinates
  bool unavailable = false;
  bool focusable = false;
  bool linked = false;  // follows an address
  int controlId = 0;    // the button control that shows this part; 0: painted on the face
  bool operator==(const AccessibleItem&) const = default;
};

// The parts in the order a reader walks them; a part's child number is its index + 1.
enum AccessiblePart : uint32_t { kAccessibleProgress, kAccessibleStatus, kAccessibleCancel, kAccessibleLink };
inline constexpr uint32_t kAccessiblePartCount = 4;

struct AccessibleFace {
  AccessibleItem window;
  std::array<AccessibleItem, kAccessiblePartCount> parts;
};

enum class AccessibleChange { Name, Value, State };

// What an image button's logic needs of its own window.
class IButtonWindow {
 public:
  virtual ~IButtonWindow() = default;
  virtual Size GetClientSize() = 0;
  // The button's window rectangle in its parent's client coordinates.
  virtual Rect GetRectInParent() = 0;
  // Moves and sizes the button within its parent (parent client coordinates), with repaint.
  virtual void Move(const Rect& rect) = 0;
  virtual std::u16string GetText() = 0;
  virtual void SetText(const std::u16string& text) = 0;
  // Invalidates the whole button with erase, so that it is drawn again.
  virtual void Redraw() = 0;
  virtual void TakeFocus() = 0;
  // Takes the button out of the dialog's tab order, passing its focus on to the next tab stop.
  virtual void LeaveTabOrder() = 0;
  // Asks for one OnMouseLeave when the pointer leaves the button.
  virtual void TrackMouseLeave() = 0;
  // Opens an address with the shell's "open" verb, maximised, without the shell's error dialogs.
  virtual void OpenAddress(const std::u16string& address) = 0;
  // Plays a named sound with the platform's play flags; a sound that cannot be played is ignored.
  virtual void PlayNamedSound(const std::u16string& name, uint32_t flags) = 0;
  // The platform's current push-button colours; empty where it has none of its own.
  virtual std::optional<ButtonSystemColors> GetSystemColors() = 0;
  // The reading order of the button's tooltip.
  virtual void SetTooltipReadingOrder(ReadingOrder order) = 0;
};

// The pointer as a button's mouse-move handling needs to see it.
struct ButtonMouseMove {
  bool overButton = false;     // the window under the pointer is this button
  bool leftButtonDown = false;
  bool windowActive = false;   // the thread has an active window
};

// What the host calls on a bound button (the image button's logic).
class IButtonEvents {
 public:
  virtual ~IButtonEvents() = default;
  // The control was bound; `buttonType` is the low five bits of its window style. The host then
  // makes the window owner-drawn.
  virtual void OnBound(uint32_t buttonType) = 0;
  // Draws the button into its own bitmap and returns it (valid until the next call).
  virtual PixelView DrawItem(const ItemState& state) = 0;
  virtual void OnMouseMove(const ButtonMouseMove& move) = 0;
  virtual void OnMouseLeave() = 0;
  virtual void OnKillFocus() = 0;
  virtual void OnDeactivate() = 0;
  virtual void OnCancelMode() = 0;
  // Disabled: the host has already moved the focus to the next tab stop.
  virtual void OnDisabled() = 0;
  // The platform's colours changed; GetSystemColors has the new ones.
  virtual void OnSysColorChange() = 0;
  // The click, before the parent's own click handler runs.
  virtual void OnReflectedClick() = 0;
  // BM_SETSTYLE with the new type bits (the host keeps the window owner-drawn).
  virtual void OnSetStyle(uint32_t buttonType) = 0;
  virtual void OnSetCheck(int32_t check) = 0;
  virtual int32_t GetCheck() = 0;
  virtual bool IsDefault() = 0;
  // The cursor to show over the button, if any.
  virtual std::optional<Cursor> OverCursor() = 0;
};

// What the dialog's logic needs of its window.
class IWindowHost {
 public:
  virtual ~IWindowHost() = default;
  // The window rectangle in screen coordinates.
  virtual Rect GetWindowRect() = 0;
  // Moves and sizes the window (screen coordinates), with repaint.
  virtual void MoveWindow(const Rect& rect) = 0;
  // The DPI of the monitor the window is on (96 at 100 % display scaling).
  virtual int32_t GetDpi() = 0;
  // The work area (the screen without the taskbar) of the monitor holding the mouse pointer, or of
  // the primary monitor when the pointer cannot be found; screen coordinates.
  virtual Rect GetWorkAreaUnderPointer() = 0;
  // Gives the window the application icon, big and small.
  virtual void SetWindowIcons() = 0;
  // One-shot use is the caller's: the host's timer repeats until killed.
  virtual void SetTimer(uint32_t id, uint32_t milliseconds) = 0;
  virtual void KillTimer(uint32_t id) = 0;
  // Invalidates a client rectangle without erasing.
  virtual void Invalidate(const Rect& rect) = 0;
  // Invalidates the whole window and its buttons with erase, so that all of it is painted again.
  virtual void RedrawAll() = 0;
  // A paint request that runs when the message queue gets to it.
  virtual void PostPaint() = 0;
  // A paint request that runs before the call returns.
  virtual void SendPaint() = 0;
  // Copies pixels onto the window at a client position, at once. While the host is asking the
  // dialog to erase its background, onto the surface being erased.
  virtual void Present(const PixelView& pixels, Point at) = 0;
  // A message box owned by the window; without a caption the application's name is shown.
  virtual MessageBoxAnswer ShowMessageBox(const std::u16string& text,
                                          const std::optional<std::u16string>& caption, MessageBoxKind kind,
                                          ReadingOrder order) = 0;
  virtual void SetCursor(Cursor cursor) = 0;
  virtual void Minimize() = 0;
  // Starts the platform's own window drag, as a press on a caption at `at` (client coordinates).
  virtual void StartDrag(Point at) = 0;
  // Starts a program file with the shell's "open" verb, the default show mode and `parameters` as
  // its command line, this window as its owner (OpenProgram of the launch seam); the path is taken
  // as it stands (a "%" in it is no variable), and the call returns once the start has run its
  // course.
  virtual ProgramLaunch OpenInstaller(const std::u16string& path, const std::u16string& parameters) = 0;
  // Shows progress on the window's taskbar button; `completed` of `total` counts in the states
  // that show a share. Nothing happens where the platform has no such display.
  virtual void SetTaskbarProgress(TaskbarProgress state, uint64_t completed, uint64_t total) = 0;
  // Ends the modal loop with a result.
  virtual void EndDialog(int result) = 0;
  // The window's own text: what the taskbar, the task switcher and screen readers call it.
  virtual void SetTitle(const std::u16string& title) = 0;
  virtual SystemLook GetSystemLook() = 0;
  // Tells assistive technology that a part of the face changed (DescribeFace has the new state).
  virtual void NotifyAccessibleChange(AccessiblePart part, AccessibleChange change) = 0;
  // The button control of the template with this id, and binding it to its logic.
  virtual IButtonWindow& Control(int id) = 0;
  virtual void BindControl(int id, IButtonEvents& events) = 0;
};

// What the host calls on the dialog's logic.
class IDialogEvents {
 public:
  virtual ~IDialogEvents() = default;
  // The window exists; the controls exist but are not bound yet.
  virtual void OnCreate(IWindowHost& host) = 0;
  virtual bool OnInitDialog() = 0;
  virtual void OnTimer(uint32_t id) = 0;
  // Paints the static face through IWindowHost::Present; drawing nothing is allowed.
  virtual void OnEraseBkgnd() = 0;
  virtual void OnPaint() = 0;
  virtual void OnMouseMove(Point at) = 0;
  virtual void OnLButtonDown(Point at) = 0;
  virtual void OnLButtonUp(Point at) = 0;
  // A click on a button control, after the button's own reflected click.
  virtual void OnClicked(int id) = 0;
  // The platform asks the window to close (Escape, the system menu's close, Alt+F4).
  virtual void OnCloseRequest() = 0;
  // The window is now on a monitor of another DPI; `suggested` is the rectangle the system proposes
  // for it there (screen coordinates).
  virtual void OnDpiChanged(int32_t dpi, const Rect& suggested) = 0;
  // High contrast, the system's colours or the animation setting may have changed: GetSystemLook.
  virtual void OnSystemLookChanged() = 0;
  // The face as assistive technology is to get it now.
  virtual AccessibleFace DescribeFace() = 0;
};

// Runs a modal dialog from the executable's dialog template `templateId` and returns its end
// result, or -1 when the window cannot be made.
int RunModalDialog(int templateId, IDialogEvents& events);

// A message box of its own, before or without any window of ours; without a caption the
// application's name is shown.
MessageBoxAnswer ShowMessageBoxWithoutWindow(const std::u16string& text, const std::optional<std::u16string>& caption,
                                             MessageBoxKind kind);

}  // namespace platform
