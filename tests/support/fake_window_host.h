// A window host for native tests: records what the dialog asks of its window and its buttons,
// answers message boxes from a script, and runs paint requests the way a message loop would
// (immediate ones at once, queued ones when the test pumps them).
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/window.h"

namespace testing_support {

// One presented picture: where it went, a copy of its pixels (0x00BBGGRR, rows top-down) and the
// address they were presented from.
struct FakePresent {
  platform::Rect rect;
  std::vector<uint32_t> pixels;
  const uint32_t* source = nullptr;

  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y * rect.Width() + x)]; }
};

struct FakeTaskbar {
  platform::TaskbarProgress state = platform::TaskbarProgress::None;
  uint64_t completed = 0;
  uint64_t total = 0;
};

struct FakeMessageBox {
  std::u16string text;
  std::optional<std::u16string> caption;
  platform::MessageBoxKind kind;
  platform::ReadingOrder order;
};

class FakeButtonWindow final : public platform::IButtonWindow {
 public:
  platform::Size GetClientSize() override { return {rect.Width(), rect.Height()}; }
  platform::Rect GetRectInParent() override { return rect; }
  void Move(const platform::Rect& r) override { rect = r; }
  std::u16string GetText() override { return text; }
  void SetText(const std::u16string& t) override { text = t; }
  void Redraw() override { ++redraws; }
  void TakeFocus() override { focused = true; }
  void LeaveTabOrder() override {
    tabStop = false;
    focused = false;
  }
  void TrackMouseLeave() override { ++leaveTracks; }
  void OpenAddress(const std::u16string& address) override { openedAddresses.push_back(address); }
  void PlayNamedSound(const std::u16string& name, uint32_t) override { playedSounds.push_back(name); }
  std::optional<platform::ButtonSystemColors> GetSystemColors() override { return systemColors; }
  void SetTooltipReadingOrder(platform::ReadingOrder order) override { tooltipOrder = order; }

  platform::Rect rect;
  std::u16string text;
  int redraws = 0;
  bool focused = false;
  bool tabStop = true;
  int leaveTracks = 0;
  std::vector<std::u16string> openedAddresses;
  std::vector<std::u16string> playedSounds;
  std::optional<platform::ButtonSystemColors> systemColors;  // none: as on a platform without a theme
  platform::ReadingOrder tooltipOrder = platform::ReadingOrder::LeftToRight;
  platform::IButtonEvents* events = nullptr;
};

class FakeWindowHost final : public platform::IWindowHost {
 public:
  // Creates the "window" for the dialog, without initialising it.
  void Attach(platform::IDialogEvents& dialog) {
    m_dialog = &dialog;
    dialog.OnCreate(*this);
  }

  // Creates the "window" and runs the dialog's initialisation, as the real host does.
  bool Open(platform::IDialogEvents& dialog) {
    Attach(dialog);
    return dialog.OnInitDialog();
  }

  // Delivers the queued paint requests, in order.
  void PumpPaints() {
    while (queuedPaints > 0) {
      --queuedPaints;
      m_dialog->OnPaint();
    }
  }

  // A timer tick of `id`, if that timer is armed.
  bool Tick(uint32_t id) {
    if (!timers.contains(id)) return false;
    m_dialog->OnTimer(id);
    return true;
  }

  platform::Rect GetWindowRect() override { return windowRect; }
  void MoveWindow(const platform::Rect& rect) override {
    windowRect = rect;
    if (onMove) onMove(rect);
  }
  int32_t GetDpi() override { return dpi; }
  platform::Rect GetWorkAreaUnderPointer() override { return workArea; }
  void SetWindowIcons() override { iconsSet = true; }
  void SetTimer(uint32_t id, uint32_t milliseconds) override { timers[id] = milliseconds; }
  void KillTimer(uint32_t id) override { timers.erase(id); }
  void Invalidate(const platform::Rect& rect) override { invalidated.push_back(rect); }
  void PostPaint() override { ++queuedPaints; }
  void SendPaint() override {
    ++sentPaints;
    m_dialog->OnPaint();
  }
  void Present(const platform::PixelView& pixels, platform::Point at) override {
    FakePresent copy{{at.x, at.y, at.x + pixels.width, at.y + pixels.height}, {}, pixels.pixels};
    for (int32_t y = 0; y < pixels.height; ++y) {
      const uint32_t* row = pixels.pixels + static_cast<ptrdiff_t>(y) * pixels.stride;
      copy.pixels.insert(copy.pixels.end(), row, row + pixels.width);
    }
    presented.push_back(std::move(copy));
  }
  platform::MessageBoxAnswer ShowMessageBox(const std::u16string& text,
                                            const std::optional<std::u16string>& caption,
                                            platform::MessageBoxKind kind,
                                            platform::ReadingOrder order) override {
    messageBoxes.push_back({text, caption, kind, order});
    if (onMessageBox) onMessageBox();
    if (answers.empty()) return platform::MessageBoxAnswer::Cancel;
    const auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void SetCursor(platform::Cursor c) override { cursor = c; }
  void Minimize() override { ++minimizes; }
  void StartDrag(platform::Point at) override { drags.push_back(at); }
  platform::ProgramLaunch OpenInstaller(const std::u16string& path, const std::u16string& parameters) override {
    launched.push_back(path);
    launchedArguments.push_back(parameters);
    if (onLaunch) onLaunch();
    platform::ProgramLaunch launch;
    launch.started = launchStarts;
    launch.error = launchStarts ? 0 : 5;
    return launch;
  }
  void SetTaskbarProgress(platform::TaskbarProgress state, uint64_t completed, uint64_t total) override {
    taskbar.push_back({state, completed, total});
  }
  void EndDialog(int result) override { endResult = result; }
  void SetTitle(const std::u16string& text) override { title = text; }
  platform::SystemLook GetSystemLook() override { return look; }
  void NotifyAccessibleChange(platform::AccessiblePart part, platform::AccessibleChange change) override {
    accessibleChanges.emplace_back(part, change);
  }
  void RedrawAll() override { ++redrawsAll; }
  platform::IButtonWindow& Control(int id) override { return controls[id]; }
  void BindControl(int id, platform::IButtonEvents& events) override { controls[id].events = &events; }

  platform::Rect windowRect{100, 100, 100 + 397, 100 + 200};
  int32_t dpi = 96;
  platform::Rect workArea{0, 0, 1920, 1040};
  // Runs after every move, as the system's reaction to it would (a monitor of another DPI).
  std::function<void(const platform::Rect&)> onMove;
  bool iconsSet = false;
  std::map<uint32_t, uint32_t> timers;
  std::vector<platform::Rect> invalidated;
  int queuedPaints = 0;
  int sentPaints = 0;
  std::vector<FakePresent> presented;
  std::vector<FakeMessageBox> messageBoxes;
  std::deque<platform::MessageBoxAnswer> answers;
  // Runs while a message box is open, as the box's own message loop would run timers.
  std::function<void()> onMessageBox;
  std::optional<platform::Cursor> cursor;
  int minimizes = 0;
  std::vector<platform::Point> drags;
  std::vector<std::u16string> launched;
  std::vector<std::u16string> launchedArguments;
  // Runs while a launch is under way; and whether the launch then reports a started program.
  std::function<void()> onLaunch;
  bool launchStarts = true;
  std::vector<FakeTaskbar> taskbar;
  std::optional<int> endResult;
  std::u16string title;
  platform::SystemLook look;
  std::vector<std::pair<platform::AccessiblePart, platform::AccessibleChange>> accessibleChanges;
  int redrawsAll = 0;
  std::map<int, FakeButtonWindow> controls;

 private:
  platform::IDialogEvents* m_dialog = nullptr;
};

}  // namespace testing_support
