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

// The tags worth a look for one preferred tag, most specific first: the tag, then each shorter form
// (de-CH-1996, de-CH, de; zh-Hant-TW, zh-Hant, zh); "_" counts as "-". Empty for an empty tag.
std::vector<std::u16string> TagAndShorterForms(std::u16string_view tag);

// The first of `requested` (when not empty: it alone is tried) or else of `preferred`, in order,
// whose tag or a shorter form of it is one of `available` (the tags of the file's language
// sections that have keys; letter case aside).
LanguageChoice ChooseLanguage(std::u16string_view requested, const std::vector<std::u16string>& preferred,
                              const std::vector<std::u16string>& available);

// Whether text in the language of `tag` reads right to left: by its script subtag when it has one
// (ks-Arab yes, ug-Cyrl no), else by its language (Arabic, Hebrew, Persian, Urdu, ...).
bool IsRightToLeftLanguage(std::u16string_view tag);
