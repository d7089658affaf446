// The dialog in the user's language, on a fake window host with the shipped skin and sample texts
// in a scratch folder (start-up ends at the link check, after the layout and the buttons): the
// section chosen from the preferred languages (the locale's environment here) or the requested
// one, the mirrored face of Arabic with its hit tests, and the reading order of the message boxes
// and tooltips. Natively only: the system seam's source and environment are the test's.
#if !defined(_WIN32)
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "app/installer_dialog.h"
#include "tests/app/run_log_capture.h"
#include "platform/posix/system_source.h"
#include "platform/utf.h"
#include "res/resource_ids.h"
#include "tests/support/fake_window_host.h"
#include "tests/support/temp_folder.h"

namespace {

using platform::ReadingOrder;
using testing_support::FakeWindowHost;

// Sets an environment variable for one test and puts back what was there.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedVariable() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

class DialogLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDownloadShared();
    platform::posix::SetSystemSource({platform::OsVersion{6, 1, 2}, platform::ARCHITECTURE_X64});
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(TORVIN_SOURCE_DIR) / "skin")) {
      const auto ext = entry.path().extension();
      if (ext == ".jpg" || ext == ".ini")
        std::filesystem::copy_file(entry.path(), folder.Path() / entry.path().filename());
    }
    folder.Write("TorvinWebInstaller.xml",
                 "<torvinwebinstaller><product><name>Plantyx Setup</name><registry></registry>"
                 "<installerInfo default=\"YES\"><os>Windows 7</os><bit>64</bit><rlink>http://" +
                     std::string(2100, 'h') +
                     ".example/setup.exe</rlink></installerInfo></product></torvinwebinstaller>");
    host.controls[IDC_BTN_PROBLEM_LINK].rect = {0, 0, 221, 28};
    host.windowRect = {0, 0, 600, 330};
    dialog.m_strModuleDir = platform::FromUtf8(folder.Path().string());
  }
  void TearDown() override {
    platform::posix::ResetSystemSource();
  }

  // Opens the dialog; its start-up ends with the message that the link is not recognised.
  void Open() {
    host.Open(dialog);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].text, u"Unrecognized URL");
    EXPECT_EQ(host.messageBoxes[0].order, ReadingOrder::LeftToRight) << "an English text reads from the left";
  }

  platform::Rect Button(int id) { return host.controls[id].rect; }

  ScopedVariable language{"LANGUAGE", nullptr};
  ScopedVariable messages{"LC_MESSAGES", nullptr};
  ScopedVariable lang{"LANG", nullptr};
  TempFolder folder;
  FakeWindowHost host;
  CTorvinWebInstallerDlg dialog;
  RunLogCapture log;
};

TEST_F(DialogLanguageTest, TheUsersLanguageChoosesItsSectionByAShorterForm) {
  ScopedVariable all("LC_ALL", "de_CH.UTF-8");
  Open();
  EXPECT_EQ(dialog.m_language.tag, u"de");
  EXPECT_EQ(host.controls[IDC_BTN_CANCEL].text, u"Abbrechen");
  EXPECT_EQ(host.controls[IDC_BTN_PROBLEM_LINK].text, u"Probleme beim Download?");
  dialog.ShowStatus(STATUS_DOWNLOADING);
  EXPECT_EQ(dialog.m_strStatusText, u"Wird heruntergeladen...");
  EXPECT_TRUE(log.Has("texts: [UISTRING.de] for de-CH"));
  EXPECT_FALSE(dialog.m_layout.rightToLeft);
  EXPECT_EQ(Button(IDC_BTN_CANCEL).right, 600 - 20);
}

TEST_F(DialogLanguageTest, ALanguageWithoutASectionKeepsUistring) {
  ScopedVariable all("LC_ALL", "ko_KR.UTF-8");
  ScopedVariable list("LANGUAGE", "ko:it");
  Open();
  EXPECT_EQ(dialog.m_language.tag, u"");
  EXPECT_EQ(host.controls[IDC_BTN_CANCEL].text, u"Cancel");
  EXPECT_TRUE(log.Has("texts: [UISTRING]: no section for ko it ko-KR"));
}

TEST_F(DialogLanguageTest, ArabicMirrorsTheFaceItsHitTestsAndItsReadingOrder) {
  ScopedVariable all("LC_ALL", "de_DE.UTF-8");  // the request goes before the user's languages
  dialog.m_strRequestedLanguage = u"ar";
  Open();
  ASSERT_TRUE(dialog.m_language.rightToLeft);
  EXPECT_TRUE(log.Has("texts: [UISTRING.ar] for ar, as requested"));
  // The two buttons change sides: Cancel 20 px from the left edge, the link right of it.
  EXPECT_EQ(Button(IDC_BTN_CANCEL), (platform::Rect{20, 330 - 34 - 30, 130, 330 - 30}));
  EXPECT_EQ(Button(IDC_BTN_PROBLEM_LINK), (platform::Rect{148, 330 - 28 - 24, 369, 330 - 24}));
  for (int id : {IDC_BTN_CANCEL, IDC_BTN_PROBLEM_LINK})
    EXPECT_EQ(host.controls[id].tooltipOrder, ReadingOrder::RightToLeft);
  EXPECT_TRUE(dialog.m_btnCancel.m_bRtlReading);

  // The caption buttons answer in the left corner, close the outermost; dragging spares them.
  dialog.OnMouseMove({15, 15});
  EXPECT_TRUE(dialog.m_bCloseHot);
  dialog.OnMouseMove({44, 15});
  EXPECT_TRUE(dialog.m_bMinimizeHot);
  dialog.OnMouseMove({300, 200});
  dialog.OnMouseMove({300, 200});
  dialog.OnLButtonDown({45, 10});
  EXPECT_TRUE(host.drags.empty());
  dialog.OnLButtonDown({590, 10});
  EXPECT_EQ(host.drags.size(), 1u);
  dialog.OnLButtonUp({590, 10});

  dialog.ShowStatus(STATUS_DOWNLOAD_FAILED);
  EXPECT_EQ(platform::ToUtf8(dialog.m_strStatusText),
            "\xD9\x81\xD8\xB4\xD9\x84 \xD8\xA7\xD9\x84\xD8\xAA\xD9\x86\xD8\xB2\xD9\x8A\xD9\x84.");
  host.answers.push_back(platform::MessageBoxAnswer::No);
  dialog.OnCancelClicked();
  ASSERT_EQ(host.messageBoxes.size(), 2u);
  EXPECT_EQ(host.messageBoxes[1].order, ReadingOrder::RightToLeft);
  EXPECT_EQ(host.messageBoxes[1].caption, u"Plantyx Setup");
  EXPECT_NE(platform::ToUtf8(host.messageBoxes[1].text).find("\xD8\xA5\xD9\x84\xD8\xBA\xD8\xA7\xD8\xA1"),
            std::string::npos);
}

// The 32-bit system's message is the second translated box.
TEST_F(DialogLanguageTest, TheNotSupportedMessageReadsRightToLeftInArabic) {
  platform::posix::SetSystemSource({platform::OsVersion{6, 1, 2}, platform::ARCHITECTURE_X86});
  folder.Write("TorvinWebInstaller.xml",
               "<torvinwebinstaller><product><name>Plantyx Setup</name><registry></registry><installerInfo "
               "default=\"YES\"><os>Windows 7</os><bit>32</bit><rlink>http://127.0.0.1:9/x.exe</rlink>"
               "</installerInfo></product></torvinwebinstaller>");
  dialog.m_strRequestedLanguage = u"ar";
  host.Open(dialog);
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].order, ReadingOrder::RightToLeft);
  EXPECT_EQ(host.messageBoxes[0].kind, platform::MessageBoxKind::OkExclamation);
  EXPECT_NE(platform::ToUtf8(host.messageBoxes[0].text).find("https://www.example.com/torvin/support"),
            std::string::npos);
}

}  // namespace
#endif
