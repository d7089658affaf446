// For links with a published digest or a required signer: the file fetched by the installer's
// download engine into a temporary folder and put through the installer's own checks.
#pragma once

#include <string>

#include "download/installer_verification.h"

namespace kit {

struct FileCheck {
  bool downloaded = false;       // the engine fetched the file and found it a Windows program
  bool passed = false;           // every check that could run passed
  std::string report;            // the checks' report, or why nothing could be checked
  bool signerUnchecked = false;  // a signer is required but this platform cannot judge signatures
};

FileCheck DownloadAndVerify(const std::u16string& url, const InstallerChecks& checks);

}  // namespace kit
