// The dialog in the look the user asked the system for: the skin's palette, or the system's colours
// while high contrast is on; bands that stand still while animations are off. A change while the
// window is open restyles the buttons and paints the whole face again.
#include "app/installer_dialog.h"
#include "app/window_geometry.h"

namespace {

ui::ContrastColors ToContrastColors(const platform::SystemLook::Colors& c) {
  return {c.window, c.windowText, c.highlight, c.highlightText, c.buttonFace, c.buttonText, c.grayText};
}

}  // namespace

ui::Palette CTorvinWebInstallerDlg::FacePalette() const {
  return m_look.highContrast ? ui::HighContrastPalette(ToContrastColors(m_look.colors)) : ui::Palette{};
}

void CTorvinWebInstallerDlg::OnSystemLookChanged() {
  const platform::SystemLook look = m_host->GetSystemLook();
  if (look == m_look) return;
  m_look = look;
  if (!m_bFaceSetUp) return;
  m_skin = ui::SkinAtScale(m_skinSource, m_scale);  // the Cancel images were handed to the button
  StyleButtons();
  m_host->RedrawAll();
  if (m_bProgressShown) ShowProgress(m_ullShownBytes);
  m_bStatusDirty = true;
  m_host->Invalidate(ToWindowRect(m_layout.rcStatus));
  m_host->PostPaint();
}
