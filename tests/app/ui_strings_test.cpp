#include "app/ui_strings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "download/download_status.h"
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
