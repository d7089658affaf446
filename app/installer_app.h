// The application object: runs the installer's dialog modally, after which the process ends.
#pragma once

class CTorvinWebInstallerApp {
 public:
  // Runs the dialog; false, so that no message loop of the application's own follows.
  bool InitInstance();
};

// The one application object.
extern CTorvinWebInstallerApp theApp;
