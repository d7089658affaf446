// The language of the window's texts: a texts file may carry a section "UISTRING.<tag>" per
// language beside "UISTRING". The user's preferred interface languages (or the one the command line
// asks for) choose among them; the chosen language also says whether the face reads right to left.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct LanguageChoice {
  std::u16string tag;  // the chosen section's tag ("de" for [UISTRING.de]); empty: [UISTRING] alone
  std::u16string why;  // one line for the log: which section, and for which language
  bool rightToLeft = false;
};

// The next shorter form of a language tag: without its last subtag, and without a single-character
// subtag that is then left at its end (de-CH-1996, de-CH, de; zh-Hant-TW, zh-Hant, zh); empty after
// the language alone. "_" counts as "-".
std::u16string_view ShorterForm(std::u16string_view tag);

// Whether text in the language of `tag` reads right to left: by its script subtag when it has one
// (ks-Arab yes, ug-Cyrl no), else by its language (Arabic, Hebrew, Persian, Urdu, ...).
bool IsRightToLeftLanguage(std::u16string_view tag);

namespace language_choice {

LanguageChoice Chosen(std::u16string_view form, std::u16string_view from, bool requested);
LanguageChoice NoneChosen(std::u16string_view requested, const std::vector<std::u16string>& preferred);

// `tag` or its first shorter form for which `hasSection` is true; empty when none is.
template <typename HasSection>
std::u16string_view FirstWithSection(std::u16string_view tag, HasSection& hasSection) {
  for (std::u16string_view form = tag; !form.empty(); form = ShorterForm(form))
    if (hasSection(form)) return form;
  return {};
}

}  // namespace language_choice

// `requested` (when not empty: it alone is tried) or else each of `preferred` in order, each by its
// own tag and then its shorter forms: the first for which `hasSection(tag)` is true (the texts file
// has that section, with keys) is the language.
template <typename HasSection>
LanguageChoice ChooseLanguage(std::u16string_view requested, const std::vector<std::u16string>& preferred,
                              HasSection hasSection) {
  using namespace language_choice;
  if (!requested.empty()) {
    const std::u16string_view form = FirstWithSection(requested, hasSection);
    return form.empty() ? NoneChosen(requested, preferred) : Chosen(form, requested, true);
  }
  for (const std::u16string& tag : preferred) {
    const std::u16string_view form = FirstWithSection(tag, hasSection);
    if (!form.empty()) return Chosen(form, tag, false);
  }
  return NoneChosen(requested, preferred);
}
