// The language sections of the texts file: their tags, keys the installer does not know, keys
// missing (and where their text then comes from), and texts left untranslated.
#pragma once

#include <string>

#include "kit/findings.h"

namespace kit {

void CheckLanguages(const std::u16string& folder, Findings& findings);

}  // namespace kit
