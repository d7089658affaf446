// Choosing the texts' language section from the preferred languages, and the languages that read
// right to left.
#include "app/language_choice.h"

#include <gtest/gtest.h>

#include "platform/utf.h"

namespace {

using Tags = std::vector<std::u16string>;

Tags Forms(std::u16string_view tag) {
  Tags forms;
  for (; !tag.empty(); tag = ShorterForm(tag)) forms.emplace_back(tag);
  return forms;
}

TEST(LanguageChoice, ShorterFormsDropOneSubtagAtATimeAndADanglingSingleton) {
  EXPECT_EQ(Forms(u"zh-Hant-TW"), (Tags{u"zh-Hant-TW", u"zh-Hant", u"zh"}));
  EXPECT_EQ(Forms(u"de_CH"), (Tags{u"de_CH", u"de"}));
  EXPECT_EQ(Forms(u"en-a-bbb-x-private"), (Tags{u"en-a-bbb-x-private", u"en-a-bbb", u"en"}));
  EXPECT_EQ(Forms(u"x-a"), (Tags{u"x-a", u"x"}));
  EXPECT_EQ(Forms(u""), Tags{});
}

// The sections with keys, as the texts file's lookup matches their names: letter case aside.
auto Sections(const Tags& available) {
  return [available](std::u16string_view tag) {
    const auto lower = [](std::u16string_view t) {
      std::u16string s(t);
      for (char16_t& c : s) c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
      return s;
    };
    for (const std::u16string& a : available)
      if (lower(a) == lower(tag)) return true;
    return false;
  };
}

struct ChoiceCase {
  const char* what;
  std::u16string requested;
  Tags preferred;
  Tags available;  // the sections with keys
  std::u16string tag;
  std::u16string why;
};

TEST(LanguageChoice, PreferredListsAgainstTheSectionsOfTheFile) {
  const ChoiceCase cases[] = {
      {"exact tag", u"", {u"de-DE"}, {u"fr", u"de-DE", u"de"}, u"de-DE", u"[UISTRING.de-DE] for de-DE"},
      {"shorter form", u"", {u"de-CH"}, {u"fr", u"de"}, u"de", u"[UISTRING.de] for de-CH"},
      {"letter case aside",
       u"",
       {u"ZH-hant-tw"},
       {u"zh-Hant"},
       u"ZH-hant",
       u"[UISTRING.ZH-hant] for ZH-hant-tw"},
      {"the first preference with a section wins over a later exact one",
       u"",
       {u"pt-BR", u"es-MX", u"fr-FR"},
       {u"fr-FR", u"es"},
       u"es",
       u"[UISTRING.es] for es-MX"},
      {"none matching", u"", {u"ja-JP", u"ko"}, {u"de", u"fr"}, u"", u"[UISTRING]: no section for ja-JP ko"},
      {"an empty section is no language", u"", {u"ar-EG", u"fr"}, {u"fr"}, u"fr", u"[UISTRING.fr] for fr"},
      {"no preferences",
       u"",
       {},
       {u"de"},
       u"",
       u"[UISTRING]: no section for a preferred language: the system names none"},
      {"a request goes first",
       u"fr-CA",
       {u"de"},
       {u"de", u"fr"},
       u"fr",
       u"[UISTRING.fr] for fr-CA, as requested"},
      {"a request without a section leaves [UISTRING]",
       u"it",
       {u"de"},
       {u"de"},
       u"",
       u"[UISTRING]: no section for it, as requested"},
  };
  for (const ChoiceCase& c : cases) {
    const LanguageChoice choice = ChooseLanguage(c.requested, c.preferred, Sections(c.available));
    EXPECT_EQ(choice.tag, c.tag) << c.what;
    EXPECT_EQ(platform::ToUtf8(choice.why), platform::ToUtf8(c.why)) << c.what;
  }
}

TEST(LanguageChoice, RightToLeftByScriptElseByLanguage) {
  for (const char16_t* tag : {u"ar", u"ar-EG", u"he", u"he-IL", u"fa-IR", u"ur", u"ps", u"yi", u"dv", u"ckb",
                              u"ks-Arab", u"pa-Arab", u"uz-Arab-AF", u"iw"})
    EXPECT_TRUE(IsRightToLeftLanguage(tag)) << platform::ToUtf8(tag);
  for (const char16_t* tag : {u"de", u"en-US", u"ja", u"zh-Hans", u"ug-Cyrl", u"ks-Deva", u"hi", u"th", u""})
    EXPECT_FALSE(IsRightToLeftLanguage(tag)) << platform::ToUtf8(tag);
  EXPECT_TRUE(ChooseLanguage(u"", {u"ar-SA"}, Sections({u"ar"})).rightToLeft);
  EXPECT_FALSE(ChooseLanguage(u"", {u"ar-SA"}, Sections({})).rightToLeft)
      << "[UISTRING] alone reads left to right";
}

}  // namespace
