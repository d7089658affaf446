// The ten skin images (and their "@2x" copies) against the sizes the window's layout needs.
#pragma once

#include <string>

#include "kit/findings.h"

namespace kit {

void CheckSkin(const std::u16string& folder, Findings& findings);

// "MainWndBkg.jpg" -> "MainWndBkg@2x.jpg".
std::u16string DoubleSizeName(std::u16string_view name);

}  // namespace kit
