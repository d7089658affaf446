// The downloaded installer from its last byte to its launch: the file written is held without a
// pause, checked through the hold, given its installer name through the hold, and held until the
// launch has returned. Nobody can swap the checked file for another in between, and a file that is
// refused is removed before anybody hears of the refusal.
#pragma once

#include <cstdint>
#include <string>

#include "download/installer_verification.h"
#include "platform/file.h"

// On the worker, once every byte of `written` is durable: holds the file (it must still be the file
// written, reached by its name directly), shows state 11 ("Verifying..."), checks it, gives it the
// name of `installerPath` and logs the checks' report. Returns state 3 with the file held under
// that name when every check passed; otherwise removes the file, then logs the failure and stores
// and returns state 6.
int32_t VerifyDownloadedInstaller(platform::File& written, const std::u16string& installerPath,
                                  const InstallerChecks& checks);

// The held installer's full path as the system resolves it, for the launch; empty when nothing is
// held.
std::u16string VerifiedInstallerPath();

// On the owner, after the launch has returned; teardown calls it too. The worker stored state 8
// before the owner may call this.
void ReleaseVerifiedInstaller();

// On the owner, for a verified installer that will not be launched: removes it through the hold.
void DiscardVerifiedInstaller();
