// The languages of a vendor's texts file, as the kit looks at them: every section "UISTRING.<tag>".
#pragma once

#include <string>
#include <vector>

#include "app/language_choice.h"

namespace kit {

// The tags of the file's sections named "UISTRING.<tag>" (the prefix in any letter case), in file
// order, whether they have keys or not.
std::vector<std::u16string> LanguageSectionTags(const std::u16string& textsPath);

// The section the installer would choose when asked for `tag` (as with "/lang TAG").
LanguageChoice LanguageForTag(const std::u16string& tag, const std::u16string& textsPath);

}  // namespace kit
