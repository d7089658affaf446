// Binds an image button's logic to its window: the host's messages reach the button, and the
// button's requests (repaint, captured parent background, sounds, mouse-leave tracking) reach the
// window. The button draws with the platform's own button colours where it has them.
#pragma once

#include "platform/window.h"
#include "ui/bitmap.h"
#include "ui/torvin_button.h"

// The window a button sits on: its composed face, from which the button's transparent background
// is taken, and what the face adds to a drawn button (outline, focus cue).
class IParentFace {
 public:
  virtual const ui::Bitmap& ParentFace() = 0;
  virtual void DecorateButton(const ui::CTorvinButton& button, ui::Bitmap& surface,
                              const platform::ItemState& state) = 0;

 protected:
  ~IParentFace() = default;
};

class ButtonBinding final : public platform::IButtonEvents, public ui::IButtonHost {
 public:
  ButtonBinding(ui::CTorvinButton& button, IParentFace& parent) : m_button(button), m_parent(parent) {}

  // Binds to the control's window (the host calls OnBound).
  void Bind(platform::IWindowHost& host, int controlId);
  platform::IButtonWindow& Window() { return *m_window; }
  // Moves and sizes the button, and gives its logic the new size.
  void Move(const platform::Rect& rect);
  // Takes the window's current size (a button that keeps its template size).
  void AdoptWindowSize();

  // platform::IButtonEvents
  void OnBound(uint32_t buttonType) override;
  platform::PixelView DrawItem(const platform::ItemState& state) override;
  void OnMouseMove(const platform::ButtonMouseMove& move) override;
  void OnMouseLeave() override { m_button.OnMouseLeave(); }
  void OnKillFocus() override { m_button.OnKillFocus(); }
  void OnDeactivate() override { m_button.OnActivate(true); }
  void OnCancelMode() override { m_button.OnCancelMode(); }
  void OnDisabled() override { m_button.OnEnable(false); }
  void OnSysColorChange() override;
  void OnReflectedClick() override;
  void OnSetStyle(uint32_t buttonType) override { m_button.OnButtonSetStyle(buttonType); }
  void OnSetCheck(int32_t check) override { m_button.OnButtonSetCheck(check); }
  int32_t GetCheck() override { return m_button.OnButtonGetCheck(); }
  bool IsDefault() override { return m_button.m_bDefault; }
  std::optional<platform::Cursor> OverCursor() override { return std::nullopt; }

  // ui::IButtonHost
  void Repaint() override { m_window->Redraw(); }
  ui::Bitmap CaptureParentBackground(ui::Size size) override;
  void PlayButtonSound(const ui::SoundSlot& sound) override {
    m_window->PlayNamedSound(sound.name, sound.flags);
  }
  void TrackMouseLeave() override { m_window->TrackMouseLeave(); }

 private:
  ui::CTorvinButton& m_button;
  IParentFace& m_parent;
  platform::IButtonWindow* m_window = nullptr;
  ui::Bitmap m_surface;
};
