// The windowless host: a loop that sleeps until the next timer is due and fires it.
#include "app/windowless_host.h"

#include <chrono>
#include <optional>

#include "platform/id_slots.h"
#include "platform/steady_clock.h"
#include "platform/system.h"

namespace {

using platform::SteadyClock;

// A button of the dialog's template, without a window: it keeps its text and place only.
class WindowlessButton final : public platform::IButtonWindow {
 public:
  platform::Size GetClientSize() override { return {m_rect.Width(), m_rect.Height()}; }
  platform::Rect GetRectInParent() override { return m_rect; }
  void Move(const platform::Rect& rect) override { m_rect = rect; }
  std::u16string GetText() override { return m_text; }
  void SetText(const std::u16string& text) override { m_text = text; }
  void Redraw() override {}
  void TakeFocus() override {}
  void LeaveTabOrder() override {}
  void TrackMouseLeave() override {}
  void OpenAddress(const std::u16string&) override {}
  void PlayNamedSound(const std::u16string&, uint32_t) override {}
  std::optional<platform::ButtonSystemColors> GetSystemColors() override { return std::nullopt; }
  void SetTooltipReadingOrder(platform::ReadingOrder) override {}

 private:
  platform::Rect m_rect;
  std::u16string m_text;
};

class WindowlessHost final : public platform::IWindowHost {
 public:
  int Run(platform::IDialogEvents& events);

  platform::Rect GetWindowRect() override { return m_rect; }
  void MoveWindow(const platform::Rect& rect) override { m_rect = rect; }
  int32_t GetDpi() override { return platform::SystemDpi(); }
  platform::Rect GetWorkAreaUnderPointer() override { return m_rect; }
  void SetWindowIcons() override {}
  void SetTimer(uint32_t id, uint32_t milliseconds) override {
    if (Timer* timer = m_timers.Get(id)) {
      *timer = {std::chrono::milliseconds(milliseconds), SteadyClock::now() + std::chrono::milliseconds(milliseconds)};
    }
  }
  void KillTimer(uint32_t id) override { m_timers.Erase(id); }
  void Invalidate(const platform::Rect&) override {}
  void RedrawAll() override {}
  void PostPaint() override {}
  void SendPaint() override {}
  void Present(const platform::PixelView&, platform::Point) override {}
  platform::MessageBoxAnswer ShowMessageBox(const std::u16string&, const std::optional<std::u16string>&,
                                            platform::MessageBoxKind, platform::ReadingOrder) override {
    return platform::MessageBoxAnswer::Cancel;
  }
  void SetCursor(platform::Cursor) override {}
  void Minimize() override {}
  void StartDrag(platform::Point) override {}
  platform::ProgramLaunch OpenInstaller(const std::u16string& path, const std::u16string& parameters) override {
    return platform::OpenProgram(path, parameters);
  }
  void SetTaskbarProgress(platform::TaskbarProgress, uint64_t, uint64_t) override {}
  void EndDialog(int result) override { m_result = result; }
  void SetTitle(const std::u16string&) override {}
  platform::SystemLook GetSystemLook() override { return {}; }
  void NotifyAccessibleChange(platform::AccessiblePart, platform::AccessibleChange) override {}
  // The template has two buttons; any further id gets a spare one.
  platform::IButtonWindow& Control(int id) override {
    WindowlessButton* button = m_buttons.Get(static_cast<uint32_t>(id));
    return button ? *button : m_spareButton;
  }
  void BindControl(int, platform::IButtonEvents&) override {}

 private:
  struct Timer {
    std::chrono::milliseconds period;
    SteadyClock::time_point due;
  };

  platform::Rect m_rect{0, 0, 600, 330};
  // The dialog's timers (it sets one) and its buttons.
  platform::IdSlots<Timer, 2> m_timers;
  platform::IdSlots<WindowlessButton, 2> m_buttons;
  WindowlessButton m_spareButton;
  std::optional<int> m_result;
};

// Timers repeat until killed, as a window's do; a dialog left without a timer and not ended would
// wait for ever, so it counts as ended then.
int WindowlessHost::Run(platform::IDialogEvents& events) {
  events.OnCreate(*this);
  events.OnInitDialog();
  for (;;) {
    uint32_t id = 0;
    Timer* next = nullptr;
    m_timers.ForEach([&](uint32_t timerId, Timer& timer) {
      if (next == nullptr || timer.due < next->due) {
        id = timerId;
        next = &timer;
      }
    });
    if (m_result || next == nullptr) break;
    const auto now = SteadyClock::now();
    if (next->due > now) {
      platform::SleepFor(static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(next->due - now).count()));
    }
    next->due += next->period;
    events.OnTimer(id);
  }
  return m_result.value_or(-1);
}

}  // namespace

int RunWithoutWindow(platform::IDialogEvents& events) {
  WindowlessHost host;
  return host.Run(events);
}
