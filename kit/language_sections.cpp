// Listing the language sections through the profile seam.
#include "kit/language_sections.h"

#include <algorithm>

#include "app/ui_strings.h"
#include "platform/profile.h"

namespace kit {
namespace {

constexpr std::u16string_view kPrefix = u"UISTRING.";

bool StartsWithPrefix(std::u16string_view name) {
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  return name.size() > kPrefix.size() &&
         std::equal(kPrefix.begin(), kPrefix.end(), name.begin(),
                    [&](char16_t a, char16_t b) { return lower(a) == lower(b); });
}

}  // namespace

std::vector<std::u16string> LanguageSectionTags(const std::u16string& textsPath) {
  std::vector<std::u16string> tags;
  for (const std::u16string& name : platform::ReadProfileSectionNames(textsPath))
    if (StartsWithPrefix(name)) tags.push_back(name.substr(kPrefix.size()));
  return tags;
}

LanguageChoice LanguageForTag(const std::u16string& tag, const std::u16string& textsPath) {
  return ChooseLanguage(tag, {}, [&](std::u16string_view form) { return HasUISection(form, textsPath); });
}

}  // namespace kit
