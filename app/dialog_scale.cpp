// The dialog at the display's scale: the skin and the buttons' fonts and images in device pixels,
// and the move to a monitor of another DPI, which rescales the whole face.
#include "app/installer_dialog.h"
#include "app/window_geometry.h"

namespace {

// The buttons' caption fonts in design pixels: height and width.
constexpr ui::Size kCancelFont{23, 11};
constexpr ui::Size kLinkFont{15, 8};

}  // namespace

void CTorvinWebInstallerDlg::ScaleSkin(int32_t dpi) {
  m_scale = ui::DisplayScale::FromDpi(dpi);
  m_skin = ui::SkinAtScale(m_skinSource, m_scale);
  m_bmpBarFrames = ui::BarFramesAtScale(m_designBarFrames, m_scale);
}

// The fonts and the Cancel images at the current scale; the captured background is taken again.
void CTorvinWebInstallerDlg::ScaleButtons() {
  const ui::Size cancelFont = m_scale.Of(kCancelFont), linkFont = m_scale.Of(kLinkFont);
  m_btnCancel.SetCaptionFont(u"Arial", cancelFont.cx, cancelFont.cy, false);
  m_btnProblemLink.SetCaptionFont(u"Arial", linkFont.cx, linkFont.cy, true);
  if (m_bCancelConfirmed) {
    auto disabled = std::make_shared<ui::Bitmap>(std::move(m_skin.cancelDisabled));
    m_btnCancel.SetImages(disabled, disabled);
  } else {
    m_btnCancel.SetImages(std::make_shared<ui::Bitmap>(std::move(m_skin.cancelHot)),
                          std::make_shared<ui::Bitmap>(std::move(m_skin.cancelNormal)));
  }
  m_btnCancel.SetTransparent();
  m_btnProblemLink.SetTransparent();
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
  PlaceButtons();  // before ScaleButtons hands the Cancel images over
  ComputeLayout();
  ScaleButtons();
  if (m_ullShownBytes != 0) ShowProgress(m_ullShownBytes);
  m_bStatusDirty = true;
  m_host->Invalidate(ToWindowRect(m_layout.rcStatus));
  m_host->PostPaint();
}
