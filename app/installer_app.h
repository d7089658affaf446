// The application object: reads the command line, runs the installer's dialog (in its window, or
// without one for /quiet), waits for the launched installer when asked, and ends the run: the
// report's last moment, the log's last line and the process's exit code.
#pragma once

#include <cstdint>
#include <string_view>

class CTorvinWebInstallerApp {
 public:
  // The whole run for `commandLine` (as the system gives it, the program's path first); the
  // process's exit code.
  uint32_t InitInstance(std::u16string_view commandLine);
};

// The one application object.
extern CTorvinWebInstallerApp theApp;
