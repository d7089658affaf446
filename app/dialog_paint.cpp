// The dialog's face on its window: the static face when the window is erased, the progress strip or
// the status line on request, and the caption buttons' hover images drawn straight onto the window.
#include "app/installer_dialog.h"
#include "app/window_geometry.h"
#include "ui/window_painting.h"

ui::FaceState CTorvinWebInstallerDlg::MakeFaceState() const {
  ui::FaceState state;
  state.skin = &m_skin;
  state.barFrames = &m_bmpBarFrames;
  state.layout = m_layout;
  state.scale = m_scale;
  state.productName = m_config.strProductName;
  state.statusText = m_strStatusText;
  state.shownBytes = m_ullShownBytes;
  state.totalBytes = m_ullTotalBytes;
  return state;
}

platform::Size CTorvinWebInstallerDlg::WindowSize() {
  const platform::Rect window = m_host->GetWindowRect();
  return {window.Width(), window.Height()};
}

// The static face, composed again for each erase; the buttons take their background from it.
const ui::Bitmap& CTorvinWebInstallerDlg::Face() {
  ui::FaceState state = MakeFaceState();
  const platform::Size window = WindowSize();
  state.window = {window.width, window.height};
  m_face = ui::PaintStaticFace(state);
  return m_face;
}

// Nothing is drawn while the window is being dragged.
void CTorvinWebInstallerDlg::OnEraseBkgnd() {
  if (m_bDragging) return;
  m_host->Present(PixelsOf(Face()), {0, 0});
}

// One area per paint: the progress strip first; the status line on a later paint.
void CTorvinWebInstallerDlg::OnPaint() {
  const ui::FaceState state = MakeFaceState();
  if (m_bProgressDirty) {
    const ui::Bitmap strip = ui::PaintProgressStrip(state, ui::s_nBarPhase);
    const ui::Rect at = ui::ProgressStripRect(m_layout, m_scale);
    m_host->Present(PixelsOf(strip), {at.left, at.top});
    m_bProgressDirty = false;
    return;
  }
  if (m_bStatusDirty) {
    const ui::Bitmap line = ui::PaintStatusLine(state);
    m_host->Present(PixelsOf(line), {m_layout.rcStatus.left, m_layout.rcStatus.top});
    m_bStatusDirty = false;
  }
}

void CTorvinWebInstallerDlg::DrawSkinImage(const ui::Rect& rect, const ui::Bitmap& image) {
  m_host->Invalidate(ToWindowRect(rect));
  const ui::Bitmap part = ui::DrawSkinImage(rect, image, m_face.Empty() ? Face() : m_face);
  m_host->Present(PixelsOf(part), {rect.left, rect.top});
}
