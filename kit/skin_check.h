// The ten skin images (and their "@2x" copies) against the sizes the window's layout needs.
#pragma once

#include <string>

#include "kit/findings.h"

namespace kit {

void CheckSkin(const std::u16string& folder, Findings& findings);

}  // namespace kit
