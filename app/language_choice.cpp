// Choosing the texts file's language section from tags, and the direction of a language.
#include "app/language_choice.h"

#include <algorithm>
#include <array>

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameTag(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

std::u16string Normalised(std::u16string_view tag) {
  std::u16string text(tag);
  std::replace(text.begin(), text.end(), u'_', u'-');
  return text;
}

// The subtags of `tag`, split at "-".
std::vector<std::u16string_view> Subtags(std::u16string_view tag) {
  std::vector<std::u16string_view> parts;
  for (size_t start = 0; start <= tag.size();) {
    const size_t end = std::min(tag.find(u'-', start), tag.size());
    parts.push_back(tag.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::u16string Joined(const std::vector<std::u16string>& tags) {
  std::u16string text;
  for (const std::u16string& tag : tags) text += (text.empty() ? u"" : u", ") + tag;
  return text;
}

// The first tag of `tags` whose own or shorter form is available: the available tag as spelt there,
// and the tag it was found for.
bool FindAvailable(const std::vector<std::u16string>& tags, const std::vector<std::u16string>& available,
                   std::u16string& form, std::u16string& from) {
  for (const std::u16string& tag : tags) {
    for (const std::u16string& candidate : TagAndShorterForms(tag)) {
      const auto found = std::find_if(available.begin(), available.end(),
                                      [&](const std::u16string& a) { return SameTag(a, candidate); });
      if (found == available.end()) continue;
      form = *found;
      from = tag;
      return true;
    }
  }
  return false;
}

// Languages written in a right-to-left script unless a script subtag says otherwise.
constexpr std::array<std::u16string_view, 24> kRightToLeftLanguages = {
    u"ar",  u"arc", u"azb", u"bal", u"ckb", u"dv",  u"fa",  u"glk", u"he",  u"iw",  u"ji",  u"khw",
    u"ks",  u"lrc", u"mzn", u"nqo", u"pnb", u"prs", u"ps",  u"sd",  u"syr", u"ug",  u"ur",  u"yi"};
constexpr std::array<std::u16string_view, 9> kRightToLeftScripts = {u"Adlm", u"Arab", u"Hebr", u"Mand", u"Nkoo",
                                                                    u"Rohg", u"Samr", u"Syrc", u"Thaa"};

template <size_t N>
bool OneOf(const std::array<std::u16string_view, N>& list, std::u16string_view value) {
  return std::any_of(list.begin(), list.end(), [&](std::u16string_view item) { return SameTag(item, value); });
}

}  // namespace

// Each step drops the last subtag, and a single-character subtag left at the end with it (it only
// introduces what followed).
std::vector<std::u16string> TagAndShorterForms(std::u16string_view tag) {
  std::vector<std::u16string> forms;
  std::u16string form = Normalised(tag);
  while (!form.empty()) {
    forms.push_back(form);
    const size_t dash = form.find_last_of(u'-');
    form.resize(dash == std::u16string::npos ? 0 : dash);
    const size_t previous = form.find_last_of(u'-');
    if (previous != std::u16string::npos && form.size() - previous == 2) form.resize(previous);
  }
  return forms;
}

LanguageChoice ChooseLanguage(std::u16string_view requested, const std::vector<std::u16string>& preferred,
                              const std::vector<std::u16string>& available) {
  const bool byRequest = !requested.empty();
  const std::vector<std::u16string> tags = byRequest ? std::vector<std::u16string>{std::u16string(requested)}
                                                     : preferred;
  const std::u16string kind = byRequest          ? u"the requested language "
                             : tags.size() == 1 ? u"the preferred language "
                                                : u"the preferred languages ";
  LanguageChoice choice;
  std::u16string from;
  if (FindAvailable(tags, available, choice.tag, from)) {
    choice.why = u"[UISTRING." + choice.tag + u"] for " + (byRequest ? kind : u"the preferred language ") + from;
    choice.rightToLeft = IsRightToLeftLanguage(choice.tag);
    return choice;
  }
  choice.why = tags.empty() ? u"[UISTRING]: the system names no preferred language"
                            : u"[UISTRING]: no section for " + kind + Joined(tags);
  return choice;
}

bool IsRightToLeftLanguage(std::u16string_view tag) {
  const std::u16string text = Normalised(tag);
  const std::vector<std::u16string_view> parts = Subtags(text);
  if (parts.size() > 1 && parts[1].size() == 4) return OneOf(kRightToLeftScripts, parts[1]);
  return OneOf(kRightToLeftLanguages, parts[0]);
}
