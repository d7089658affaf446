#include "app/ui_strings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "download/download_status.h"
#include "platform/utf.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(UIStrings, EveryKeyFallsBackToItsEnglishDefault) {
  TempFolder folder;
  const std::u16string missing = (folder / "TorvinWebInstallerString.ini").u16string();
  std::set<std::u16string_view> keys;
  for (const UIString& text : kUIStrings) {
    EXPECT_TRUE(keys.insert(text.key).second) << "duplicate key";
    EXPECT_TRUE(text.key.starts_with(u"IDS_"));
    EXPECT_EQ(GetUIString(text, missing), text.defaultText);
  }
  EXPECT_EQ(keys.size(), 17u);
  EXPECT_EQ(GetUIString(IDS_STATUS_DOWNLOAD_FAILED, missing), u"Download failed.");
}

TEST(UIStrings, TranslatedFileReplacesTexts) {
  TempFolder folder;
  const std::u16string ini =
      folder
          .Write("TorvinWebInstallerString.ini",
                 "; German texts\r\n[uistring]\r\nids_text_cancel = Abbrechen\r\nIDS_STATUS_INIT=\r\n"
                 "IDS_STATUS_FINISHED=" +
                     std::string(300, 'z') + "\r\n")
          .u16string();
  EXPECT_EQ(GetUIString(IDS_TEXT_CANCEL, ini), u"Abbrechen");
  EXPECT_EQ(GetUIString(IDS_STATUS_INIT, ini), u"") << "present but empty is empty, not the default";
  EXPECT_EQ(GetUIString(IDS_STATUS_FINISHED, ini), std::u16string(259, u'z'));
  EXPECT_EQ(GetUIString(IDS_STATUS_DOWNLOADING, ini), u"Downloading...");
}

TEST(UIStrings, FileIsReadAgainOnEveryLookup) {
  TempFolder folder;
  const auto ini = folder.Write("TorvinWebInstallerString.ini", "[UISTRING]\nIDS_TEXT_CANCEL=Annuler\n");
  EXPECT_EQ(GetUIString(IDS_TEXT_CANCEL, ini.u16string()), u"Annuler");
  std::filesystem::remove(ini);
  EXPECT_EQ(GetUIString(IDS_TEXT_CANCEL, ini.u16string()), u"Cancel");
}

// A German section that translates some keys, one of them to an empty text; [UISTRING] has others.
TEST(UIStrings, EachKeyThroughTheLanguageSectionThenUistringThenEnglish) {
  TempFolder folder;
  const std::u16string ini =
      folder
          .Write("TorvinWebInstallerString.ini",
                 "[UISTRING]\r\nIDS_TEXT_CANCEL=Stop\r\nIDS_STATUS_INIT=Starting...\r\n"
                 "[UISTRING.de]\r\nIDS_TEXT_CANCEL=Abbrechen\r\nIDS_STATUS_FINISHED=\r\n"
                 "IDS_STATUS_DOWNLOADING=Wird heruntergeladen...\r\n"
                 "[uistring.DE-ch]\r\nIDS_STATUS_DOWNLOADING=Wird geladen...\r\n")
          .u16string();
  const struct {
    const UIString& text;
    const char16_t* language;
    const char16_t* shown;
  } cases[] = {
      {IDS_TEXT_CANCEL, u"de", u"Abbrechen"},
      {IDS_STATUS_FINISHED, u"de", u""},  // present but empty: empty, not a fallback
      {IDS_STATUS_INIT, u"de", u"Starting..."},
      {IDS_STATUS_DOWNLOADDONE, u"de", u"Download completed."},
      {IDS_STATUS_DOWNLOADING, u"de-CH", u"Wird geladen..."},  // section names ignore letter case
      {IDS_TEXT_CANCEL, u"de-CH", u"Stop"},  // a section falls back to [UISTRING], not to a shorter tag's
      {IDS_TEXT_CANCEL, u"fr", u"Stop"},
      {IDS_TEXT_CANCEL, u"", u"Stop"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetUIString(c.text, ini, c.language), c.shown) << platform::ToUtf8(c.text.key);
}

TEST(UIStrings, ASectionIsALanguageOnlyWithKeys) {
  TempFolder folder;
  const std::u16string ini = folder
                                 .Write("TorvinWebInstallerString.ini",
                                        "[UISTRING.ar]\n; nothing yet\n[UISTRING.ja]\nIDS_TEXT_CANCEL=x\n")
                                 .u16string();
  EXPECT_FALSE(HasUISection(u"ar", ini));
  EXPECT_TRUE(HasUISection(u"JA", ini));
  EXPECT_FALSE(HasUISection(u"ko", ini));
  EXPECT_EQ(UISection(u"pt-BR"), u"UISTRING.pt-BR");
  EXPECT_EQ(UISection(u""), u"UISTRING");
}

TEST(UIStrings, StatusTextOfEachState) {
  EXPECT_EQ(StatusUIString(STATUS_INIT)->key, u"IDS_STATUS_INIT");
  EXPECT_EQ(StatusUIString(STATUS_DOWNLOAD_CANCELLING)->defaultText, u"Cancelling...");
  EXPECT_EQ(StatusUIString(STATUS_PREPARE_INSTALL)->defaultText, u"Preparing installation...");
  EXPECT_EQ(StatusUIString(STATUS_FINISHED)->defaultText, u"Finished.");
  EXPECT_EQ(StatusUIString(0), nullptr);
  EXPECT_EQ(StatusUIString(STATUS_VERIFYING)->defaultText, u"Verifying...");
  EXPECT_EQ(StatusUIString(STATUS_RECONNECTING)->defaultText, u"Reconnecting...");
  EXPECT_EQ(StatusUIString(13), nullptr);
}

}  // namespace
