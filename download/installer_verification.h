// The checks a downloaded installer must pass before anybody launches it: it is a Windows program
// (never an error page served with success), its SHA-256 digest is the one the vendor published,
// and it carries the vendor's Authenticode signature. The last two only when the vendor asks.
#pragma once

#include <string>

#include "download/download_log.h"
#include "download/program_file.h"
#include "platform/held_file.h"

struct InstallerChecks {
  std::u16string sha256;  // the expected digest, 64 hexadecimal digits; empty: not checked
  std::u16string signer;  // the common name the signer's certificate must carry; empty: not checked
};

struct VerificationResult {
  bool passed = false;
  // One line for the log: the check that failed and why (expected and actual digest, the system's
  // result code, the common names found), or the checks that passed with the digest and signer.
  std::u16string report;
  // Which check refused the file, when one did.
  DownloadFailure failure = DownloadFailure::CheckImpossible;
};

// Checks a file held unchanged, in order: program, digest, signer; stops at the first failure. The
// signer check asks the system, then looks at the certificate table itself, then requires the
// signer's certificate to carry exactly one common name, equal to the expected one in full.
VerificationResult VerifyInstaller(const platform::HeldFile& file, const InstallerChecks& checks);

// The same for a file named by its path, held for the time of the checks.
VerificationResult VerifyInstallerAt(const std::u16string& path, const InstallerChecks& checks);
