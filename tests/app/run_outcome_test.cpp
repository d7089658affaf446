// A table of failures against their codes: every row of the error table is whole and distinct and
// stands in the README; each start-up failure and each way a real download fails (against the test
// server) ends the run with its own code and exit code; /passive asks nothing on the way.
// Natively only: the system seam plays other systems, and the dialog runs on a fake window host.
#if !defined(_WIN32)
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "app/error_codes.h"
#include "app/installer_dialog.h"
#include "app/run_record.h"
#include "download/http_transfer.h"
#include "platform/posix/system_source.h"
#include "platform/utf.h"
#include "tests/app/run_log_capture.h"
#include "tests/support/fake_window_host.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_http_server.h"

namespace {

using testing_support::FakeWindowHost;
using Kind = TestHttpServer::Kind;

TEST(RunErrors, EveryErrorHasOneRowWithItsOwnCodeAndTheReadmeListsThemAll) {
  std::ifstream in(TORVIN_SOURCE_DIR "/README.md");
  std::stringstream readme;
  readme << in.rdbuf();
  std::set<std::string_view> codes;
  for (size_t i = 0; i < kRunErrors.size(); ++i) {
    const RunErrorEntry& entry = kRunErrors[i];
    EXPECT_EQ(static_cast<size_t>(entry.error), i) << entry.code;  // one row per error, in order
    EXPECT_TRUE(codes.insert(entry.code).second) << entry.code;
    EXPECT_NE(entry.exitCode, kExitLaunched);
    EXPECT_NE(entry.exitCode, kExitCancelled);
    const std::string row = "| " + std::string(entry.code) + " | " + std::string(entry.meaning) + " | " +
                            std::to_string(entry.exitCode) + " |";
    EXPECT_NE(readme.str().find(row), std::string::npos) << "README lacks the row " << row;
  }
}

std::string Configuration(const std::string& link, const std::string& bits = "64", const std::string& name = "Plantyx Setup",
                          const std::string& digest = "") {
  return "<torvinwebinstaller><product><name>" + name +
         "</name><registry>Software\\TorvinTests\\NotInstalled</registry><installerInfo default=\"YES\"><os>Windows "
         "7</os><bit>" + bits + "</bit><rlink" + (digest.empty() ? "" : " sha256=\"" + digest + "\"") + ">" + link +
         "</rlink></installerInfo></product></torvinwebinstaller>";
}

class RunOutcomeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDownloadShared();
    TheRun.Restart();
    platform::posix::SetSystemSource({platform::OsVersion{6, 1, 2}, platform::ARCHITECTURE_X64});
  }
  void TearDown() override { platform::posix::ResetSystemSource(); }

  // Runs the dialog in `folder` as /passive would, ticking in real time until it ends.
  void Run(FakeWindowHost& host, const RunOptions& options = Passive()) {
    CTorvinWebInstallerDlg dialog(options);
    dialog.m_strModuleDir = platform::FromUtf8(folder.Path().string());
    host.Open(dialog);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!host.endResult && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      host.Tick(IDT_STATUS_POLL);
    }
    ASSERT_TRUE(host.endResult) << "the dialog did not end";
  }
  static RunOptions Passive() {
    RunOptions options;
    options.passive = true;
    return options;
  }
  void ExpectFailure(std::string_view code, uint32_t exitCode) {
    EXPECT_EQ(TheRun.Outcome(), RunOutcome::Failed);
    ASSERT_TRUE(TheRun.FinalError());
    EXPECT_EQ(RunErrorInfo(*TheRun.FinalError()).code, code);
    EXPECT_EQ(TheRun.ExitCode(), exitCode);
  }

  TempFolder folder;
  RunLogCapture log;
};

TEST_F(RunOutcomeTest, StartUpFailuresEndWithTheirOwnCodesAndPassiveShowsNoBox) {
  struct Case {
    const char* title;
    std::string config;  // empty: no configuration file
    uint16_t architecture;
    std::string_view code;
    uint32_t exitCode;
  };
  const Case cases[] = {
      {"no configuration", "", platform::ARCHITECTURE_X64, "E1002", 1619},
      {"broken configuration", "<torvinwebinstaller><product>", platform::ARCHITECTURE_X64, "E1002", 1619},
      {"no link is an address", Configuration("http://" + std::string(2100, 'h') + ".example/x.exe"),
       platform::ARCHITECTURE_X64, "E1003", 1610},
      {"32-bit Windows", Configuration("http://127.0.0.1:9/x.exe", "32"), platform::ARCHITECTURE_X86, "E1004", 1633},
      {"no plain file name", Configuration("http://127.0.0.1:9/x.exe", "64", "..\\evil"), platform::ARCHITECTURE_X64,
       "E1006", 1603},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    SetUp();
    std::filesystem::remove(folder / "TorvinWebInstaller.xml");
    if (!c.config.empty()) folder.Write("TorvinWebInstaller.xml", c.config);
    platform::posix::SetSystemSource({platform::OsVersion{6, 1, 2}, c.architecture});
    FakeWindowHost host;
    Run(host);
    EXPECT_TRUE(host.messageBoxes.empty());
    ExpectFailure(c.code, c.exitCode);
    EXPECT_TRUE(log.Has(std::string(c.code) + " ")) << "the log names the code";
  }
  const std::string config = "E1002 configuration " + folder.Path().string() + "\\TorvinWebInstaller.xml: ";
  EXPECT_TRUE(log.Has(config + "cannot be read: "));
  EXPECT_TRUE(log.Has(config + "not well-formed; 1:21: <product> is never closed"));
}

TEST_F(RunOutcomeTest, EachWayADownloadFailsHasItsCode) {
  TestHttpServer& server = TestHttpServer::Get();
  const std::string redirectToHttp = "redirect=" + server.UrlText(Kind::Http, 4096);
  const std::string wrongDigest(64, '0');
  struct Case {
    const char* title;
    std::string link;
    std::string digest;
    std::string_view code;
  };
  const Case cases[] = {
      {"an error status to the probe", server.UrlText(Kind::Http, 4096, "status=404"), "", "E2003"},
      {"an expired certificate", server.UrlText(Kind::HttpsExpired, 4096), "", "E2004"},
      {"a redirect from https to http", server.UrlText(Kind::Https, 4096, redirectToHttp), "", "E2005"},
      {"a range that does not fit", server.UrlText(Kind::Http, 4096, "range_only=1&badstart=1"), "", "E2006"},
      {"an error status to the transfer", server.UrlText(Kind::Http, 4096, "range_only=1&status=403"), "", "E2007"},
      {"not a program", server.UrlText(Kind::Http, 16), "", "E3002"},
      {"another digest", server.UrlText(Kind::Http, 4096), wrongDigest, "E3003"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    SetUp();
    folder.Write("TorvinWebInstaller.xml", Configuration(c.link, "64", "Plantyx Setup", c.digest));
    FakeWindowHost host;
    Run(host);
    ExpectFailure(c.code, kExitFailed);
    EXPECT_TRUE(host.launched.empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "Plantyx Setup.exe"));
  }
}

TEST_F(RunOutcomeTest, ALaunchTheSystemRefusesFailsAndOneItStartsEndsWithZero) {
  TestHttpServer& server = TestHttpServer::Get();
  folder.Write("TorvinWebInstaller.xml", Configuration(server.UrlText(Kind::Http, 4096)));
  RunOptions options = Passive();
  options.installerArguments = u"/S \"D:\\My Apps\"";
  FakeWindowHost refusing;
  refusing.launchStarts = false;
  Run(refusing, options);
  ExpectFailure("E4001", kExitFailed);
  EXPECT_EQ(refusing.launchedArguments, std::vector<std::u16string>{options.installerArguments});

  SetUp();
  FakeWindowHost host;
  Run(host, options);
  EXPECT_EQ(TheRun.Outcome(), RunOutcome::Launched);
  EXPECT_EQ(TheRun.ExitCode(), kExitLaunched);
  EXPECT_EQ(TheRun.ErrorCode(), "");
  const RunFigures figures = TheRun.Figures();
  EXPECT_EQ(figures.size, 4096u);
  EXPECT_EQ(figures.tries, 1u);
  for (const auto& phase : figures.phaseMs) EXPECT_TRUE(phase.has_value());
  EXPECT_TRUE(log.Has("GET " + server.UrlText(Kind::Http, 4096) + " bytes 0-4095: status 206"));
}

TEST_F(RunOutcomeTest, PassiveCancelsAtOnceWithoutAQuestion) {
  TestHttpServer& server = TestHttpServer::Get();
  folder.Write("TorvinWebInstaller.xml", Configuration(server.UrlText(Kind::Http, 1 << 20, "trickle=200")));
  const RunOptions passive = Passive();
  CTorvinWebInstallerDlg dialog(passive);
  dialog.m_strModuleDir = platform::FromUtf8(folder.Path().string());
  FakeWindowHost host;
  host.Open(dialog);
  dialog.OnCancelClicked();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!host.endResult && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    host.Tick(IDT_STATUS_POLL);
  }
  EXPECT_TRUE(host.messageBoxes.empty());
  EXPECT_EQ(TheRun.Outcome(), RunOutcome::Cancelled);
  EXPECT_EQ(TheRun.ExitCode(), kExitCancelled);
  EXPECT_FALSE(std::filesystem::exists(folder / "Plantyx Setup.exe"));
}

}  // namespace
#endif
