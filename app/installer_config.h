// The installer's configuration: what "TorvinWebInstaller.xml" beside the executable (or packed
// inside it) says about the product and the download link for this system.
#pragma once

#include <string>

#include "app/platform_checks.h"
#include "platform/file_source.h"

struct InstallerConfig {
  std::u16string strProductName;   // window title, message box caption, installer file name
  std::u16string strRegistryKey;   // below the local-machine hive; present when the product is installed
  std::u16string strInstallerUrl;  // tried first
  std::u16string strDefaultUrl;    // tried second
  std::u16string strPatchUrl;      // used instead of the installer link when the product is installed
  // The SHA-256 digest (64 hexadecimal digits) published for each link, from its "sha256"
  // attribute; empty when the link has none. A digest always travels with its link.
  std::u16string strInstallerSha256;
  std::u16string strDefaultSha256;
  std::u16string strPatchSha256;
  // The common name of the certificate that must have signed the installer (the product's
  // "signer" attribute); empty when the product has none, and then no signature is required.
  std::u16string strSigner;
  // Where the run's report goes (the product's "report" attribute); empty: nothing is sent.
  std::u16string strReportUrl;
};

// Reads the product name, registry key, installer link (the entry for `platform`) and default link
// (the entry marked default="YES") from the configuration file, on disk or in memory. True when at
// least one link was found; false when the file cannot be read, is not well formed, or lacks the
// document element, the product or any usable entry, when any "rlink" or "patch" of the product
// carries a "sha256" attribute that is not 64 hexadecimal digits, or when the product's "signer" is
// empty (a typo never turns a check off). Fields the file does not give keep their values, except
// the installer link, which is cleared first.
bool LoadConfiguration(const platform::FileSource& file, const PlatformInfo& platform, InstallerConfig& config);
