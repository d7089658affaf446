// The downloaded installer between its checks and its launch: the worker holds the file unchanged
// from before the checks, and the owner lets it go once the launch has returned. Nobody can swap
// the checked file for another in between.
#pragma once

#include <cstdint>
#include <string>

#include "download/installer_verification.h"

// On the worker, once the whole file is in place and closed: shows state 11 ("Verifying..."),
// holds the file and checks it, and logs the checks' report. Returns state 3
// with the file still held when every check passed; otherwise stores and returns state 6 with the
// file released, for the caller's clean-up to delete.
int32_t VerifyDownloadedInstaller(const std::u16string& path, const InstallerChecks& checks);

// On the owner, after the launch has returned, or before it deletes a file it will not launch.
// The worker stored state 8 before the owner may call this; teardown calls it too.
void ReleaseVerifiedInstaller();
