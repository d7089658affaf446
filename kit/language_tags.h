// Whether a language section's tag is one the installer can ever meet: a well-formed language tag
// whose language (and script, when it has one) exists.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kit {

// Why `tag` is no usable language tag ("malformed: ...", "unknown language ..."); nullopt for a
// good one. Letter case does not matter.
std::optional<std::string> LanguageTagProblem(std::u16string_view tag);

}  // namespace kit
