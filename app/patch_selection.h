// Full installer or patch: when the product's registry key exists, the product is installed and the
// "patch" link of the matching configuration entry replaces the installer link.
#pragma once

#include <string>
#include <string_view>

#include "app/installer_config.h"
#include "app/platform_checks.h"
#include "platform/file_source.h"

// True when an installed copy of the product was found; then `config.strPatchUrl` and
// `config.strPatchSha256` hold the patch link and its digest of the entry for this OS and the
// bitness of the registry view the copy was found in, or, when there is no such link, stay as the
// caller left them. The log says what was found and chosen.
bool SelectPatchLink(const platform::FileSource& configFile, const PlatformInfo& platform, InstallerConfig& config);

// Looks through every download entry of the configuration file for this OS with bitness `bits`
// and a "patch" link; true and `config.strPatchUrl` and `config.strPatchSha256` set when one was found.
bool FindPatchLink(const platform::FileSource& configFile, const PlatformInfo& platform, std::u16string_view bits,
                   InstallerConfig& config);
