// The dialog at the display's scale: the skin and the buttons' fonts and images in device pixels,
// and the move to a monitor of another DPI, which rescales the whole face.
#include "app/installer_dialog.h"
#include "app/window_geometry.h"

void CTorvinWebInstallerDlg::ScaleSkin(int32_t dpi) {
  m_scale = ui::DisplayScale::FromDpi(dpi);
  m_skin = ui::SkinAtScale(m_skinSource, m_scale);
  m_bmpBarFrames = ui::BarFramesAtScale(m_designBarFrames, m_scale);
}

// The window keeps the suggested position and takes its exact size at the new scale (the suggestion
// is the old size scaled, which may differ from it by a pixel); the buttons and the layout follow,
// the face is composed again, and the progress strip and status line are painted again as they were.
void CTorvinWebInstallerDlg::OnDpiChanged(int32_t dpi, const platform::Rect& suggested) {
  ScaleSkin(dpi);
  const ui::Size size = m_scale.Of(ToUiSize(m_designWindowSize));
  m_face = ui::Bitmap();
  m_host->MoveWindow({suggested.left, suggested.top, suggested.left + size.cx, suggested.top + size.cy});
  if (!m_bFaceSetUp) return;
  PlaceButtons();  // before StyleButtons hands the Cancel images over
  ComputeLayout();
  StyleButtons();
  if (m_ullShownBytes != 0) ShowProgress(m_ullShownBytes);
  m_bStatusDirty = true;
  m_host->Invalidate(ToWindowRect(m_layout.rcStatus));
  m_host->PostPaint();
}
