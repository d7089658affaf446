// The mouse on the dialog's own face: the painted close and minimise buttons, and the band along
// the top that drags the window.
#include "app/installer_dialog.h"
#include "app/window_geometry.h"

// At most one caption image is redrawn per move; a hot flag is cleared only once the pointer has
// left both buttons.
void CTorvinWebInstallerDlg::OnMouseMove(platform::Point at) {
  m_bDragging = false;
  const ui::Point point = ToUiPoint(at);
  if (m_layout.rcClose.Contains(point)) {
    m_host->SetCursor(platform::Cursor::Hand);
    if (!m_bCloseHot) {
      m_bCloseHot = true;
      DrawCaptionButton(ui::CaptionButton::Close, true);
    }
    return;
  }
  if (m_layout.rcMinimize.Contains(point)) {
    m_host->SetCursor(platform::Cursor::Hand);
    if (!m_bMinimizeHot) {
      m_bMinimizeHot = true;
      DrawCaptionButton(ui::CaptionButton::Minimize, true);
    }
    return;
  }
  m_host->SetCursor(platform::Cursor::Arrow);
  if (m_bCloseHot) {
    m_bCloseHot = false;
    DrawCaptionButton(ui::CaptionButton::Close, false);
  } else if (m_bMinimizeHot) {
    m_bMinimizeHot = false;
    DrawCaptionButton(ui::CaptionButton::Minimize, false);
  }
}

void CTorvinWebInstallerDlg::OnLButtonDown(platform::Point at) {
  if (m_bCloseHot) {
    OnCancelClicked();  // exactly as the Cancel button; the window is not closed directly
    return;
  }
  if (m_bMinimizeHot) m_host->Minimize();
  m_bDragging = m_layout.rcDragBand.Contains(ToUiPoint(at));
  if (m_bDragging) m_host->StartDrag(at);
}

void CTorvinWebInstallerDlg::OnLButtonUp(platform::Point) { m_bDragging = false; }
