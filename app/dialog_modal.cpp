// Running the dialog modally on the platform's window host; kept apart so that the dialog's logic
// links without a host (the tests drive it on a fake one).
#include "app/installer_dialog.h"
#include "res/resource_ids.h"

int CTorvinWebInstallerDlg::DoModal() { return platform::RunModalDialog(IDD_TORVINWEBINSTALLER_DIALOG, *this); }
