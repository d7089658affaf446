// Texts wider than the place the window paints them in, for [UISTRING] and every language, measured
// with the installer's own fonts and layout at the vendor's skin (at 100 % display scaling).
#pragma once

#include <string>

#include "kit/findings.h"

namespace kit {

void CheckTextWidths(const std::u16string& folder, Findings& findings);

}  // namespace kit
