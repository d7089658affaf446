// The start-up check of the download links: at least one must parse as an address.
#pragma once

#include "app/installer_config.h"

// Tries the installer link, the installer link with "http://" put in front, the default link, and
// the default link with "http://" in front, and stops at the first that parses. A prefix once put
// in front stays in the stored link, whether or not it helped. False when none parses.
bool ValidateInstallerUrls(InstallerConfig& config);
