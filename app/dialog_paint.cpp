// The dialog's face on its window: the static face when the window is erased, the progress strip or
// the status line on request, and the caption buttons' hover images drawn straight onto the window.
#include <utility>

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
  state.palette = FacePalette();
  state.bandsMove = m_look.animations;
  return state;
}

platform::Size CTorvinWebInstallerDlg::WindowSize() {
  const platform::Rect window = m_host->GetWindowRect();
  return {window.Width(), window.Height()};
}

// The static face, composed only when something it shows has changed (the window's size, the
// display scale and with it the skin's images, the layout, the product name); every other erase
// presents the kept copy. The buttons take their background from it too.
const ui::Bitmap& CTorvinWebInstallerDlg::Face() {
  const platform::Size window = WindowSize();
  FaceKey key{{window.width, window.height}, m_scale.factor, m_layout, m_config.strProductName, FacePalette()};
  if (m_face.Empty() || key != m_faceKey) {
    ui::FaceState state = MakeFaceState();
    state.window = key.window;
    m_face = ui::PaintStaticFace(state);
    m_faceKey = std::move(key);
  }
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

void CTorvinWebInstallerDlg::DrawCaptionButton(ui::CaptionButton button, bool hot) {
  const ui::Rect& rect = button == ui::CaptionButton::Close ? m_layout.rcClose : m_layout.rcMinimize;
  m_host->Invalidate(ToWindowRect(rect));
  const ui::Bitmap part = ui::PaintCaptionButton(MakeFaceState(), button, hot, Face());
  m_host->Present(PixelsOf(part), {rect.left, rect.top});
}
