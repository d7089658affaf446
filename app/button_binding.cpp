// The image button's window events forwarded to its logic, and its requests to its window.
#include "app/button_binding.h"

#include <algorithm>

#include "app/help_address.h"
#include "app/window_geometry.h"

void ButtonBinding::Bind(platform::IWindowHost& host, int controlId) {
  m_window = &host.Control(controlId);
  m_button.SetHost(this);
  host.BindControl(controlId, *this);
  AdoptWindowSize();
  if (m_window->GetSystemColors()) OnSysColorChange();
}

void ButtonBinding::Move(const platform::Rect& rect) {
  m_window->Move(rect);
  m_button.SetClientSize({rect.Width(), rect.Height()});
}

void ButtonBinding::AdoptWindowSize() {
  const platform::Size size = m_window->GetClientSize();
  m_button.SetClientSize({size.width, size.height});
}

void ButtonBinding::OnBound(uint32_t buttonType) { m_button.PreSubclassWindow(buttonType); }

// Without colours of the platform's own the button keeps its built-in table.
void ButtonBinding::OnSysColorChange() {
  ui::SystemColors colors;
  if (const auto system = m_window->GetSystemColors()) {
    colors.btnFace = system->face;
    colors.btnText = system->text;
    colors.btnHighlight = system->highlight;
    colors.light3d = system->light3d;
    colors.btnShadow = system->shadow;
    colors.darkShadow3d = system->darkShadow3d;
  }
  m_button.OnSysColorChange(colors);
}

platform::PixelView ButtonBinding::DrawItem(const platform::ItemState& state) {
  const platform::Size size = m_window->GetClientSize();
  m_surface = ui::Bitmap(size.width, size.height);
  const std::u16string caption = m_window->GetText();
  ui::DrawItemInfo item;
  item.rcItem = m_surface.Bounds();
  item.selected = state.selected;
  item.focus = state.focused;
  item.disabled = state.disabled;
  item.caption = caption;
  m_button.DrawItem(m_surface, item);
  m_parent.DecorateButton(m_button, m_surface, state);
  return PixelsOf(m_surface);
}

void ButtonBinding::OnMouseMove(const platform::ButtonMouseMove& move) {
  m_button.OnMouseMove(move.leftButtonDown, move.overButton, move.windowActive);
}

void ButtonBinding::OnReflectedClick() {
  m_window->TakeFocus();
  const std::u16string address = m_button.OnReflectedClick();
  if (!address.empty()) m_window->OpenAddress(FillHelpAddress(address, TheRun.Facts(), TheRun.ErrorCode()));
}

// The parent's face under the button; parts outside the face stay black.
ui::Bitmap ButtonBinding::CaptureParentBackground(ui::Size size) {
  ui::Bitmap capture(size.cx, size.cy);
  const ui::Bitmap& face = m_parent.ParentFace();
  const platform::Rect at = m_window->GetRectInParent();
  for (int32_t y = 0; y < capture.Height(); ++y) {
    const int32_t faceY = at.top + y;
    if (faceY < 0 || faceY >= face.Height()) continue;
    const int32_t first = std::max(0, -at.left);
    const int32_t last = std::min(capture.Width(), face.Width() - at.left);
    if (first < last)
      std::copy(face.Row(faceY) + at.left + first, face.Row(faceY) + at.left + last, capture.Row(y) + first);
  }
  return capture;
}
