// The shorter forms of a tag, the reasons of a choice, and the direction of a language.
#include "app/language_choice.h"

#include <algorithm>

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

constexpr std::u16string_view kSeparators = u"-_";

// Languages written in a right-to-left script unless a script subtag says otherwise, and those
// scripts; lower case, each between blanks.
constexpr std::u16string_view kRightToLeftLanguages =
    u" ar arc azb bal ckb dv fa glk he iw ji khw ks lrc mzn nqo pnb prs ps sd syr ug ur yi ";
constexpr std::u16string_view kRightToLeftScripts = u" adlm arab hebr mand nkoo rohg samr syrc thaa ";

// Whether `code` (of at most four letters, any case) is in `list`.
bool Listed(std::u16string_view list, std::u16string_view code) {
  if (code.empty() || code.size() > 4) return false;
  char16_t blanked[6] = {u' '};
  for (size_t i = 0; i < code.size(); ++i) blanked[i + 1] = Lower(code[i]);
  blanked[code.size() + 1] = u' ';
  return list.find(std::u16string_view(blanked, code.size() + 2)) != std::u16string_view::npos;
}

}  // namespace

std::u16string_view ShorterForm(std::u16string_view tag) {
  size_t end = tag.find_last_of(kSeparators);
  if (end == std::u16string_view::npos) return {};
  const size_t previous = tag.find_last_of(kSeparators, end - 1);
  if (end >= 2 && previous != std::u16string_view::npos && end - previous == 2) end = previous;
  return tag.substr(0, end);
}

bool IsRightToLeftLanguage(std::u16string_view tag) {
  const size_t language = std::min(tag.find_first_of(kSeparators), tag.size());
  const std::u16string_view rest = tag.substr(std::min(language + 1, tag.size()));
  const std::u16string_view script = rest.substr(0, std::min(rest.find_first_of(kSeparators), rest.size()));
  if (script.size() == 4) return Listed(kRightToLeftScripts, script);
  return Listed(kRightToLeftLanguages, tag.substr(0, language));
}

namespace language_choice {

LanguageChoice Chosen(std::u16string_view form, std::u16string_view from, bool requested) {
  LanguageChoice choice{std::u16string(form), u"[UISTRING.", IsRightToLeftLanguage(form)};
  choice.why.append(form).append(u"] for ").append(from);
  if (requested) choice.why.append(u", as requested");
  return choice;
}

LanguageChoice NoneChosen(std::u16string_view requested, const std::vector<std::u16string>& preferred) {
  LanguageChoice choice{{}, u"[UISTRING]: no section for", false};
  if (!requested.empty()) {
    choice.why.append(u" ").append(requested).append(u", as requested");
    return choice;
  }
  for (const std::u16string& tag : preferred) choice.why.append(u" ").append(tag);
  if (preferred.empty()) choice.why.append(u" a preferred language: the system names none");
  return choice;
}

}  // namespace language_choice
