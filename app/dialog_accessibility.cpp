// The dialog as assistive technology gets it: the face described from the state the painting reads,
// the announcements of a new status text and of each new whole percent, and the buttons' focus cue.
#include "app/button_styling.h"
#include "app/installer_dialog.h"
#include "app/window_geometry.h"
#include "res/resource_ids.h"
#include "ui/face_description.h"

platform::AccessibleFace CTorvinWebInstallerDlg::DescribeFace() {
  ui::FaceState state = MakeFaceState();
  const platform::Size window = WindowSize();
  state.window = {window.width, window.height};
  const std::u16string cancelCaption = m_cancelBinding.Window().GetText();
  const std::u16string linkCaption = m_linkBinding.Window().GetText();
  const ui::FaceButton cancel{cancelCaption, ToUiRect(m_cancelBinding.Window().GetRectInParent()), IDC_BTN_CANCEL};
  const ui::FaceButton link{linkCaption, ToUiRect(m_linkBinding.Window().GetRectInParent()), IDC_BTN_PROBLEM_LINK};
  return ui::DescribeFace(state, m_bProgressShown, cancel, m_bCancelConfirmed, link, m_btnProblemLink.m_szUrl);
}

void CTorvinWebInstallerDlg::AnnounceStatus() {
  if (m_strStatusText == m_strAnnouncedStatus) return;
  m_strAnnouncedStatus = m_strStatusText;
  m_host->NotifyAccessibleChange(platform::kAccessibleStatus, platform::AccessibleChange::Name);
}

void CTorvinWebInstallerDlg::AnnounceProgress() {
  m_bProgressShown = true;
  std::u16string value = ui::ProgressValue(MakeFaceState(), true);
  if (value == m_strAnnouncedProgress) return;
  m_strAnnouncedProgress = std::move(value);
  m_host->NotifyAccessibleChange(platform::kAccessibleProgress, platform::AccessibleChange::Value);
}

void CTorvinWebInstallerDlg::DecorateButton(const ui::CTorvinButton& button, ui::Bitmap& surface,
                                            const platform::ItemState& state) {
  DecorateDialogButton(surface, FacePalette(), m_scale, &button == &m_btnCancel, state.focused && state.focusCues);
}
