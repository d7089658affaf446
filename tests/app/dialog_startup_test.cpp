// The dialog's start-up on a fake window host, with real files in a scratch folder standing in for
// the executable's folder: the start-up failures, the files packed into the executable preferred
// to the folder's, the link check with its fall-back to the
// default link, an unrecognised system's empty bitness, and a product name that would write
// outside the folder.
// Natively only: the system seam's source is replaced to play other systems; under Wine the
// end-to-end runs cover start-up.
#if !defined(_WIN32)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/installer_dialog.h"
#include "app/run_record.h"
#include "bundle/executable_bundle.h"
#include "platform/posix/system_source.h"
#include "platform/utf.h"
#include "tests/support/fake_window_host.h"
#include "tests/support/minimal_program.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_registry_keys.h"

namespace {

using testing_support::FakeWindowHost;

std::string Configuration(const std::string& name, const std::string& link, const std::string& bits = "64") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<torvinwebinstaller><product><name>" + name +
         "</name><registry>Software\\TorvinTests\\NotInstalled</registry>"
         "<installerInfo default=\"YES\"><os>Windows 7</os><bit>" + bits + "</bit><rlink>" +
         link + "</rlink></installerInfo></product></torvinwebinstaller>\n";
}

class DialogStartupTest : public ::testing::Test {
 protected:
  static std::string ReadWhole(const std::u16string& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string ReadSample(const char* name) {
    return ReadWhole(platform::FromUtf8(std::string(TORVIN_SOURCE_DIR) + "/skin/" + name));
  }
  // A program file with `files` packed into it, in the scratch folder under another name.
  std::u16string PackedProgram(const std::vector<bundle::PackedFile>& files) const {
    const std::string program = *bundle::PackExecutable(testing_support::MinimalProgram(true), *bundle::EncodeBundle(files));
    return folder.Write("packed.exe", program).u16string();
  }

  void SetUp() override {
    ResetDownloadShared();
    TheRun.Restart();
    // A 64-bit Windows 7, unless a test says otherwise.
    platform::posix::SetSystemSource({platform::OsVersion{6, 1, 2}, platform::ARCHITECTURE_X64});
    std::filesystem::copy_file(std::filesystem::path(TORVIN_SOURCE_DIR) / "skin" / "MainWndBkg.jpg",
                               folder / "MainWndBkg.jpg");
    dialog.m_strModuleDir = platform::FromUtf8(folder.Path().string());
  }
  void TearDown() override { platform::posix::ResetSystemSource(); }

  TempFolder folder;
  FakeWindowHost host;
  CTorvinWebInstallerDlg dialog;
};

TEST_F(DialogStartupTest, AMissingConfigurationEndsStartUpWithItsMessage) {
  const platform::Rect before = host.windowRect;
  EXPECT_TRUE(host.Open(dialog));
  ASSERT_TRUE(TheRun.FinalError());
  EXPECT_EQ(RunErrorInfo(*TheRun.FinalError()).code, "E1002");
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].text, u"Xml file is missing!");
  EXPECT_FALSE(host.messageBoxes[0].caption);  // the application's name is shown
  EXPECT_EQ(host.messageBoxes[0].kind, platform::MessageBoxKind::OkCancel);
  EXPECT_EQ(host.endResult, platform::kResultOk);
  EXPECT_TRUE(host.timers.empty());
  EXPECT_EQ(host.windowRect, before);
}

// The executable carries its configuration, texts and background; the folder beside it holds
// others, planted: only the packed ones count.
TEST_F(DialogStartupTest, FilesPackedIntoTheExecutableAreReadAndTheFolderIgnored) {
  const std::string background = ReadSample("MainWndBkg.jpg");
  const std::vector<bundle::PackedFile> files = {
      {u"TorvinWebInstaller.xml", Configuration("Plantyx Setup", "http://127.0.0.1:9/packed.exe")},
      {u"TorvinWebInstallerString.ini", "[UISTRING]\nIDS_TEXT_CANCEL=Stop\n"},
      {u"MainWndBkg.jpg", background},
  };
  dialog.m_strModulePath = PackedProgram(files);
  folder.Write("TorvinWebInstaller.xml", Configuration("Planted", "http://127.0.0.1:9/planted.exe"));
  folder.Write("TorvinWebInstallerString.ini", "[UISTRING]\nIDS_TEXT_CANCEL=Planted\n");
  folder.Write("MainWndBkg.jpg", ReadSample("Cancel_N.jpg"));
  host.Open(dialog);
  EXPECT_TRUE(host.messageBoxes.empty());
  EXPECT_EQ(dialog.m_config.strInstallerUrl, u"http://127.0.0.1:9/packed.exe");
  EXPECT_EQ(host.controls[1000].text, u"Stop");
  EXPECT_EQ(host.windowRect.Width(), 600);  // the packed background's, not the planted one's
  // The download still goes beside the executable.
  EXPECT_EQ(dialog.m_strInstallerPath, dialog.m_strModuleDir + u"\\Plantyx Setup.exe");
}

TEST_F(DialogStartupTest, ADamagedPackEndsStartUpWithItsOwnCodeAndNeverReadsTheFolder) {
  folder.Write("TorvinWebInstaller.xml", Configuration("Plantyx Setup", "http://127.0.0.1:9/x.exe"));
  std::string program = ReadWhole(PackedProgram({{u"TorvinWebInstaller.xml", "<torvinwebinstaller/>"}}));
  program[program.size() - 20] ^= 0x01;
  dialog.m_strModulePath = folder.Write("setup.exe", program).u16string();
  host.Open(dialog);
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].text, u"Xml file is missing!");
  ASSERT_TRUE(TheRun.FinalError());
  EXPECT_EQ(RunErrorInfo(*TheRun.FinalError()).code, "E1005");
  EXPECT_EQ(host.endResult, platform::kResultOk);
  EXPECT_TRUE(dialog.m_config.strInstallerUrl.empty());
  EXPECT_TRUE(host.timers.empty());
}

TEST_F(DialogStartupTest, AThirtyTwoBitSystemIsRefusedAfterTheConfigurationWasRead) {
  platform::posix::SetSystemSource({platform::OsVersion{6, 1, 2}, platform::ARCHITECTURE_X86});
  folder.Write("TorvinWebInstaller.xml", Configuration("Plantyx Setup", "http://127.0.0.1:9/x.exe", "32"));
  const platform::Rect before = host.windowRect;
  host.Open(dialog);
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].caption, u"Plantyx Setup");
  EXPECT_EQ(host.messageBoxes[0].kind, platform::MessageBoxKind::OkExclamation);
  EXPECT_NE(host.messageBoxes[0].text.find(u"64-bit operating system"), std::u16string::npos);
  EXPECT_EQ(host.endResult, platform::kResultOk);
  EXPECT_EQ(host.windowRect, before);  // not resized yet
  EXPECT_TRUE(host.timers.empty());
}

TEST_F(DialogStartupTest, LinksThatNeverParseEndStartUpAfterTheLayout) {
  const std::string host2100 = "http://" + std::string(2100, 'h') + ".example/setup.exe";
  folder.Write("TorvinWebInstaller.xml", Configuration("Plantyx Setup", host2100));
  host.Open(dialog);
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].text, u"Unrecognized URL");
  EXPECT_FALSE(host.messageBoxes[0].caption);
  EXPECT_EQ(host.endResult, platform::kResultOk);
  EXPECT_EQ(host.windowRect.Width(), dialog.m_skin.background.Width());
  EXPECT_EQ(dialog.m_strInstallerPath, dialog.m_strModuleDir + u"\\Plantyx Setup.exe");
  EXPECT_TRUE(host.timers.empty());
}

TEST_F(DialogStartupTest, AProductNameThatLeavesTheFolderDownloadsNothingAndShowsTheFailure) {
  folder.Write("TorvinWebInstaller.xml", Configuration("..\\evil", "http://127.0.0.1:9/x.exe"));
  EXPECT_TRUE(host.Open(dialog));
  EXPECT_TRUE(host.messageBoxes.empty());
  EXPECT_FALSE(dialog.m_bEngineStarted);
  ASSERT_TRUE(host.Tick(IDT_STATUS_POLL));
  EXPECT_EQ(dialog.m_strStatusText, u"Download failed.");
  EXPECT_FALSE(std::filesystem::exists(folder.Path().parent_path() / "evil.exe"));
  EXPECT_FALSE(std::filesystem::exists(folder / "..\\evil.exe"));
}

TEST_F(DialogStartupTest, ALinkWithoutSchemeGetsHttpAndTheEngineStarts) {
  folder.Write("TorvinWebInstaller.xml", Configuration("Plantyx Setup", "127.0.0.1/x.exe"));
  host.Open(dialog);
  EXPECT_TRUE(host.messageBoxes.empty());
  EXPECT_EQ(dialog.m_config.strInstallerUrl, u"http://127.0.0.1/x.exe");
  EXPECT_EQ(host.timers.at(IDT_STATUS_POLL), 250u);
  EXPECT_TRUE(dialog.m_bEngineStarted);
  EXPECT_EQ(host.controls[1000].text, u"Cancel");
  EXPECT_EQ(host.controls[1001].text, u"Problems downloading?");
  // The record is the engine's from here on; the first tick shows where it is.
  ASSERT_TRUE(host.Tick(IDT_STATUS_POLL));
  EXPECT_FALSE(dialog.m_strStatusText.empty());
}

TEST_F(DialogStartupTest, TheLinkChosenBringsItsOwnDigestAndTheProductItsSigner) {
  const std::string full(64, 'a'), patch(64, 'b');
  TestRegistryKeys keys;
  const std::u16string key = keys.PathOf(u"Plantyx");
  const std::string xml =
      "<torvinwebinstaller><product signer=\"Plantyx Software Ltd\"><name>Plantyx Setup</name><registry>" +
      platform::ToUtf8(key) + "</registry><installerInfo default=\"YES\"><os>Windows 7</os><bit>64</bit>" +
      "<rlink sha256=\"" + full + "\">http://127.0.0.1:1/full.exe</rlink><patch sha256=\"" + patch +
      "\">http://127.0.0.1:1/patch.exe</patch></installerInfo></product></torvinwebinstaller>";
  folder.Write("TorvinWebInstaller.xml", xml);
  ASSERT_TRUE(keys.Add(u"Plantyx", platform::RegistryView::Bits64));  // installed: the patch is chosen
  host.Open(dialog);
  EXPECT_EQ(dialog.m_config.strInstallerUrl, u"http://127.0.0.1:1/patch.exe");
  EXPECT_EQ(dialog.m_config.strInstallerSha256, platform::FromUtf8(patch));
  EXPECT_EQ(dialog.m_config.strDefaultSha256, platform::FromUtf8(full));
  EXPECT_EQ(dialog.m_config.strSigner, u"Plantyx Software Ltd");
}

// The link for this system never parses; the default entry's does, so the download starts.
TEST_F(DialogStartupTest, ALinkThatNeverParsesFallsBackToTheDefaultLink) {
  const std::string neverParses = "http://" + std::string(2100, 'h') + ".example/setup.exe";
  folder.Write("TorvinWebInstaller.xml",
               "<torvinwebinstaller><product><name>Plantyx Setup</name><registry></registry>"
               "<installerInfo><os>Windows 7</os><bit>64</bit><rlink>" +
                   neverParses +
                   "</rlink></installerInfo>"
                   "<installerInfo default=\"YES\"><os>Windows "
                   "8</os><bit>64</bit><rlink>http://127.0.0.1:9/d.exe</rlink>"
                   "</installerInfo></product></torvinwebinstaller>");
  host.Open(dialog);
  EXPECT_TRUE(host.messageBoxes.empty());
  EXPECT_EQ(dialog.m_config.strDefaultUrl, u"http://127.0.0.1:9/d.exe");
  EXPECT_TRUE(dialog.m_bEngineStarted);
  EXPECT_EQ(host.timers.at(IDT_STATUS_POLL), 250u);
}

// A system the installer does not recognise leaves the bitness empty: not refused as 32-bit, the
// default entry gives the link.
TEST_F(DialogStartupTest, AnUnrecognisedSystemPassesTheGateWithAnEmptyBitness) {
  platform::posix::SetSystemSource({platform::OsVersion{5, 0, 2}, platform::ARCHITECTURE_X86});
  folder.Write("TorvinWebInstaller.xml", Configuration("Plantyx Setup", "http://127.0.0.1:9/x.exe", "32"));
  host.Open(dialog);
  EXPECT_EQ(dialog.m_platform.strBits, u"");
  EXPECT_TRUE(host.messageBoxes.empty());
  EXPECT_EQ(host.windowRect.Width(), dialog.m_skin.background.Width());
  EXPECT_TRUE(dialog.m_bEngineStarted);
}

}  // namespace
#endif
