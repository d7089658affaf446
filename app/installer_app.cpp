// The application object and its one job.
#include "app/installer_app.h"

#include "app/installer_dialog.h"

CTorvinWebInstallerApp theApp;

bool CTorvinWebInstallerApp::InitInstance() {
  CTorvinWebInstallerDlg dialog;
  dialog.DoModal();
  return false;
}
