// The engine end to end against the test server: Init's refusals, the address check, and every
// path of states from the first probe to the final state, with the destination file.
#include "download/web_downloader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "download/destination_file.h"
#include "download/installer_hold.h"
#include "download/sha256_text.h"
#include "download_test_helpers.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace {

using namespace std::chrono_literals;

class WebDownloaderTest : public testing::Test {
 protected:
  void SetUp() override { ResetDownloadShared(); }
  void TearDown() override { ShutdownDownloader(); }

  std::u16string Url(Kind kind, unsigned long long size, const std::string& query = {}) {
    return m_server.Url(kind, size, query);
  }

  // Init, state 1 and the worker resumed, as the owner does it; then watches until a final state.
  void Download(const std::u16string& primary, const std::u16string& fallback,
                const InstallerChecks& primaryChecks = {}, const InstallerChecks& fallbackChecks = {}) {
    CWebDownloader* engine = GetDownloader();
    ASSERT_TRUE(engine->Init(primary, fallback, PathText(m_file)));
    engine->SetInstallerChecks(primaryChecks, fallbackChecks);
    PublishStatus({STATUS_INIT, 0, 0});
    m_watch.Begin();
    ASSERT_TRUE(engine->ResumeWorker());
    ASSERT_TRUE(m_watch.WatchUntilFinal());
  }

  void ExpectSuccess(uint64_t size) {
    // "Completed." shows again after the checks, which a file this small may pass between two looks
    // of the watcher.
    std::vector<int32_t> states = m_watch.states;
    std::erase(states, STATUS_VERIFYING);
    states.erase(std::unique(states.begin(), states.end()), states.end());
    EXPECT_EQ(states, (std::vector<int32_t>{1, 2, 3, 8}));
    EXPECT_EQ(m_watch.final.total, size);
    EXPECT_EQ(m_watch.final.received, size);
    ASSERT_TRUE(m_watch.fileExistsAtFinal);
    EXPECT_EQ(m_watch.fileAtFinal, Pattern(0, size));
    EXPECT_EQ(DownloadFiles(), std::vector<std::string>{"Plantyx Setup.exe"});
  }

  // The names in the folder that the download may have used, sorted.
  std::vector<std::string> DownloadFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path())) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with("Plantyx Setup.exe")) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TestHttpServer& m_server = TestHttpServer::Get();
  TempFolder m_folder;
  std::filesystem::path m_file = m_folder / "Plantyx Setup.exe";
  StateWatcher m_watch{m_file};
};

TEST_F(WebDownloaderTest, InitRefusesMissingAddressesOrDestination) {
  CWebDownloader* engine = GetDownloader();
  EXPECT_FALSE(engine->Init(u"", u"", PathText(m_file)));
  EXPECT_FALSE(engine->Init(Url(Kind::Http, 10), u"", u""));
  EXPECT_FALSE(engine->Init(Url(Kind::Http, 10), u"", PathText(m_folder / "missing" / "a.exe")));
  EXPECT_FALSE(engine->Init(Url(Kind::Http, 10), u"", PathText(m_folder.Path())));
  EXPECT_FALSE(std::filesystem::exists(m_file));
  EXPECT_FALSE(engine->ResumeWorker()) << "nothing to start after a refused Init";
}

TEST_F(WebDownloaderTest, InitRefusesADestinationOpenElsewhereAndLeavesItAlone) {
  m_folder.Write("Plantyx Setup.exe", "in use");
#ifdef _WIN32
  HANDLE other = CreateFileW(reinterpret_cast<const wchar_t*>(PathText(m_file).c_str()), GENERIC_READ, 0,
                             nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(GetDownloader()->Init(Url(Kind::Http, 10), u"", PathText(m_file)));
  CloseHandle(other);
#else
  int other = open(m_file.c_str(), O_RDONLY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(flock(other, LOCK_EX), 0);
  EXPECT_FALSE(GetDownloader()->Init(Url(Kind::Http, 10), u"", PathText(m_file)));
  close(other);
#endif
  EXPECT_EQ(ReadBytes(m_file), "in use");
}

TEST_F(WebDownloaderTest, NormalizeUrlsPrefixesWhatDoesNotParse) {
  struct Case {
    std::u16string primary, fallback, wantPrimary, wantFallback;
  };
  const Case cases[] = {
      {u"http://a.example/s.exe", u"b.example/s.exe", u"http://a.example/s.exe", u"b.example/s.exe"},
      {u"a.example/s.exe", u"b.example/s.exe", u"http://a.example/s.exe", u"b.example/s.exe"},
      {u"", u"b.example/s.exe", u"http://", u"b.example/s.exe"},
  };
  for (const Case& c : cases) {
    ShutdownDownloader();
    CWebDownloader* engine = GetDownloader();
    ASSERT_TRUE(engine->Init(c.primary, c.fallback, PathText(m_file)));
    engine->NormalizeUrls();
    EXPECT_EQ(engine->PrimaryUrl(), c.wantPrimary);
    EXPECT_EQ(engine->FallbackUrl(), c.wantFallback);
  }
  ShutdownDownloader();
  EXPECT_FALSE(std::filesystem::exists(m_file)) << "a worker that never ran leaves no file";
}

// While bytes arrive the file has a name that no system runs; the installer's name comes with the
// checks.
TEST_F(WebDownloaderTest, SuccessLeavesTheWholeFileUnderItsNameOnlyAtTheEnd) {
  std::vector<std::string> namesWhileDownloading;
  m_watch.onPoll = [&](const DownloadStatus& now) {
    if (now.state == STATUS_DOWNLOADING && now.received > 0 && namesWhileDownloading.empty())
      namesWhileDownloading = DownloadFiles();
  };
  Download(Url(Kind::Http, 200'000, "range_delay=200&trickle=2"), Url(Kind::Http, 10));
  ExpectSuccess(200'000);
  EXPECT_EQ(namesWhileDownloading, std::vector<std::string>{"Plantyx Setup.exe.partial"});
}

TEST_F(WebDownloaderTest, SuccessOverHttpsWithABareHostPrimaryFallingBack) {
  // The bare primary gets "http://" and then finds no server; the fallback is used.
  Download(u"127.0.0.1:1/none.exe", Url(Kind::Https, 70'000, "range_delay=200"));
  ExpectSuccess(70'000);
}

TEST_F(WebDownloaderTest, NoSizeFromEitherAddressFails) {
  Download(Url(Kind::Http, 5000, "status=404"), Url(Kind::HttpsExpired, 5000));
  EXPECT_EQ(m_watch.states, (std::vector<int32_t>{1, 6, 10}));
  EXPECT_EQ(m_watch.final.total, 0u);
  EXPECT_FALSE(m_watch.fileExistsAtFinal);
}

TEST_F(WebDownloaderTest, AFailedTransferCleansUp) {
  // The probe gets a plain reply; the range request then meets the fault.
  // The ranged reply comes late, so that the watcher sees state 2 however fast the fault is.
  struct Case {
    const char* query;
    std::vector<int32_t> states;
  };
  const Case cases[] = {
      {"long=10", {1, 2, 6, 7, 10}},
      // Another size than probed: fetched as a file replaced meanwhile, whose end is then refused.
      {"badtotal=1", {1, 2, STATUS_RECONNECTING, 6, 7, 10}},
      {"cut=40000&resume_status=404", {1, 2, STATUS_RECONNECTING, 6, 7, 10}},  // lost, then refused
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    ShutdownDownloader();
    ResetDownloadShared();
    m_watch = StateWatcher(m_file);
    Download(Url(Kind::Http, 100'000, std::string(c.query) + "&range_only=1&range_delay=200"), u"");
    EXPECT_EQ(m_watch.states, c.states);
    EXPECT_TRUE(DownloadFiles().empty());
  }
}

// Puts `from` in the place of `to`, as an intruder would: false when the system refuses.
bool RenameOnto(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

// The SHA-256 text of the first `size` bytes the test server serves.
std::u16string PatternDigest(size_t size) {
  TempFolder folder;
  platform::HeldFile file;
  if (!file.Open(PathText(folder.Write("pattern.bin", Pattern(0, size))))) return {};
  return Sha256Text(*platform::FileSha256(file));
}

TEST_F(WebDownloaderTest, ARefusedInstallerIsDeletedAndNeverPrepared) {
  struct Case {
    const char* what;
    unsigned long long size;
    InstallerChecks checks;
  };
  const Case cases[] = {
      {"too short to be a program", 0x40, {}},
      {"another digest", 90'000, {std::u16string(64, u'a'), {}}},
      {"a digest of the right length but one digit wrong",
       90'000,
       {u"0" + PatternDigest(90'000).substr(1), {}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ShutdownDownloader();
    ResetDownloadShared();
    m_watch = StateWatcher(m_file);
    // Nobody who learns of the refusal may find the refused file any more.
    std::optional<std::vector<std::string>> filesAtRefusal;
    m_watch.onPoll = [&](const DownloadStatus& now) {
      if (now.state == STATUS_DOWNLOAD_FAILED && !filesAtRefusal) filesAtRefusal = DownloadFiles();
    };
    Download(Url(Kind::Http, c.size, "range_delay=200"), u"", c.checks);
    // The last byte's "completed" and the checks' state last only an instant: a poll may miss them.
    std::erase(m_watch.states, STATUS_VERIFYING);
    std::erase(m_watch.states, STATUS_DOWNLOADDONE);
    EXPECT_EQ(m_watch.states, (std::vector<int32_t>{1, 2, 6, 7, 10}));
    ASSERT_TRUE(filesAtRefusal.has_value());
    EXPECT_TRUE(filesAtRefusal->empty());
    EXPECT_TRUE(DownloadFiles().empty());
  }
}

// Another program put in place of the file being written, from its last byte on (the reply's end
// comes 400 ms later, so the file is complete and still being written): only the file the engine
// wrote may ever be prepared. Natively a name can always be changed, and the change is refused; on
// Windows the file is held from its creation to the launch, so the swap cannot be made at all.
TEST_F(WebDownloaderTest, AFileSwappedInAfterTheLastByteIsNeverPrepared) {
  constexpr size_t kSize = 3000;
  const std::filesystem::path intruder = m_folder.Write("intruder.exe", Pattern(0, kSize, 2));
  std::vector<bool> swaps;  // each attempt, from the last byte until the final state
  m_watch.onPoll = [&](const DownloadStatus& now) {
    if (now.received < kSize || (!swaps.empty() && swaps.back())) return;
    bool swapped = false;
    for (const std::string& name : DownloadFiles()) swapped = RenameOnto(intruder, m_folder / name) || swapped;
    swaps.push_back(swapped);
  };
  Download(Url(Kind::Http, kSize, "nolength=1&trickle=400&range_only=1"), u"");
  ASSERT_FALSE(swaps.empty());
  if (m_watch.final.state == STATUS_PREPARE_INSTALL) {
    EXPECT_TRUE(m_watch.fileAtFinal == Pattern(0, kSize)) << "the swapped-in program was prepared";
  }
#ifdef _WIN32
  EXPECT_FALSE(swaps.front()) << "the file was open to a swap while it was being written";
#else
  EXPECT_TRUE(swaps.front());
  // As for a refused download: the instants of "completed" and of the checks may pass unseen.
  std::erase(m_watch.states, STATUS_VERIFYING);
  std::erase(m_watch.states, STATUS_DOWNLOADDONE);
  EXPECT_EQ(m_watch.states, (std::vector<int32_t>{1, 2, 6, 7, 10}));
  EXPECT_TRUE(DownloadFiles().empty());
#endif
}

TEST_F(WebDownloaderTest, TheDigestFollowsItsLinkToTheFallback) {
  // The primary gives no file; only the fallback's own digest fits what the fallback serves.
  Download(Url(Kind::Http, 90'000, "status=404"), Url(Kind::Http, 80'000, "range_delay=200"),
           {PatternDigest(90'000), {}}, {PatternDigest(80'000), {}});
  ExpectSuccess(80'000);
}

TEST_F(WebDownloaderTest, AVerifiedInstallerIsHeldUntilReleased) {
  Download(Url(Kind::Http, 70'000, "range_delay=200"), u"", {Upper(PatternDigest(70'000)), {}});
  ExpectSuccess(70'000);
  platform::File writer;
  EXPECT_FALSE(writer.CreateExclusive(PathText(m_file))) << "nobody may rewrite the checked file";
  ReleaseVerifiedInstaller();
  EXPECT_TRUE(writer.CreateExclusive(PathText(m_file)));
}

TEST_F(WebDownloaderTest, APrimaryThatFailsMidTransferGivesWayToTheFallback) {
  Download(Url(Kind::Http, 100'000, "cut=40000&resume_status=404&range_only=1&range_delay=200"),
           Url(Kind::Http, 70'000, "range_delay=200"));
  std::erase(m_watch.states, STATUS_VERIFYING);
  // "Completed." shows before and after the checks, or once when they pass between two looks.
  m_watch.states.erase(std::unique(m_watch.states.begin(), m_watch.states.end()), m_watch.states.end());
  ASSERT_GE(m_watch.states.size(), 4u);
  EXPECT_EQ(m_watch.states[1], STATUS_DOWNLOADING);
  EXPECT_EQ(std::vector<int32_t>(m_watch.states.end() - 3, m_watch.states.end()),
            (std::vector<int32_t>{2, 3, 8}));
  EXPECT_EQ(m_watch.final.total, 70'000u);
  EXPECT_EQ(m_watch.final.received, 70'000u);
  EXPECT_EQ(m_watch.fileAtFinal, Pattern(0, 70'000));
}

// A cancel is seen promptly whatever the engine waits for. Under Wine a closed handle does not end
// a call already blocked on it: there the waits on the server (its headers, a stalled body) end
// only when the server speaks, so only the wait between tries is timed.
TEST_F(WebDownloaderTest, ACancelIsSeenPromptlyInEveryWait) {
  struct Case {
    const char* phase;
    std::string query;
    std::vector<int32_t> states;
    bool underWine;
  };
  // The cancel comes 700 ms after the start, or as soon as the engine waits to reconnect.
  const Case cases[] = {
      {"the probe waits for the headers", "header_delay=20000", {1, 5, 10}, false},
      {"the transfer waits for the headers", "range_delay=20000", {1, 2, 5, 10}, false},
      {"the transfer's server is silent", "silent_after=10000&range_only=1", {1, 2, 5, 10}, false},
      {"the transfer waits to reconnect", "reset=0&range_only=1", {1, 2, STATUS_RECONNECTING, 5, 10}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.phase);
#ifdef _WIN32
    if (!c.underWine) continue;
#endif
    ShutdownDownloader();
    ResetDownloadShared();
    m_watch = StateWatcher(m_file);
    const auto started = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point cancelled;
    m_watch.onPoll = [&](const DownloadStatus& now) {
      bool due = now.state == STATUS_RECONNECTING ||
                 (c.states.size() < 5 && std::chrono::steady_clock::now() - started > 700ms);
      if (due && cancelled == std::chrono::steady_clock::time_point()) {
        cancelled = std::chrono::steady_clock::now();
        CancelEvent.Set();
      }
    };
    Download(Url(Kind::Http, 1'000'000, c.query), u"");
    EXPECT_EQ(m_watch.states, c.states);
    EXPECT_FALSE(m_watch.fileExistsAtFinal);
    // 500 ms to report the cancel and 1 s to show it are part of the way to the final state.
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 8s);
  }
}

TEST_F(WebDownloaderTest, CancelBeforeTheTransfer) {
  CWebDownloader* engine = GetDownloader();
  ASSERT_TRUE(engine->Init(Url(Kind::Http, 5000), u"", PathText(m_file)));
  CancelEvent.Set();
  m_watch.Begin();
  ASSERT_TRUE(engine->ResumeWorker());
  ASSERT_TRUE(m_watch.WatchUntilFinal());
  EXPECT_EQ(m_watch.states, (std::vector<int32_t>{1, 5, 10}));
  EXPECT_FALSE(m_watch.fileExistsAtFinal);
}

TEST_F(WebDownloaderTest, CancelDuringTheTransferAfterAQuestion) {
  bool asked = false;
  m_watch.onPoll = [&](const DownloadStatus& now) {
    if (!asked && now.received >= 8192) {
      asked = true;
      RunEvent.Clear();  // the question is open
      std::this_thread::sleep_for(200ms);
      CancelEvent.Set();  // confirmed
      RunEvent.Set();
    }
  };
  Download(Url(Kind::Http, 1'000'000, "trickle=5"), u"");
  EXPECT_EQ(m_watch.states, (std::vector<int32_t>{1, 2, 5, 10}));
  EXPECT_FALSE(m_watch.fileExistsAtFinal);
}

TEST_F(WebDownloaderTest, CancelRightAfterTheProbeIsSeenByTheSegment) {
  // The ranged reply is held back, so the cancel lands between the probe and the transfer.
  m_watch.onPoll = [](const DownloadStatus& now) {
    if (now.state == STATUS_DOWNLOADING) CancelEvent.Set();
  };
  Download(Url(Kind::Http, 50'000, "range_delay=300"), u"");
  EXPECT_EQ(m_watch.states, (std::vector<int32_t>{1, 2, 5, 10}));
  EXPECT_EQ(m_watch.final.received, 0u);
  EXPECT_FALSE(m_watch.fileExistsAtFinal);
}

TEST_F(WebDownloaderTest, DecliningTheQuestionContinuesTheSameFile) {
  bool asked = false;
  m_watch.onPoll = [&](const DownloadStatus& now) {
    if (!asked && now.received >= 8192) {
      asked = true;
      RunEvent.Clear();
      std::this_thread::sleep_for(500ms);
      RunEvent.Set();  // declined
    }
  };
  Download(Url(Kind::Http, 120'000, "trickle=2"), u"");
  ExpectSuccess(120'000);
}

TEST_F(WebDownloaderTest, ShutdownStopsAWorkerStillRunning) {
  CWebDownloader* engine = GetDownloader();
  ASSERT_TRUE(engine->Init(Url(Kind::Http, 1'000'000, "trickle=5"), u"", PathText(m_file)));
  ASSERT_TRUE(engine->ResumeWorker());
  for (int i = 0; i < 10000 && ReadStatus().received == 0; ++i) std::this_thread::sleep_for(1ms);
  ShutdownDownloader();
  EXPECT_EQ(ReadStatus().state, STATUS_FINISHED);
  EXPECT_FALSE(std::filesystem::exists(m_file));
}

#ifndef _WIN32
// Under Wine a probe blocked on a silent server ends only when the server answers.
TEST_F(WebDownloaderTest, ShutdownIsPromptWhileTheProbeWaitsForHeaders) {
  CWebDownloader* engine = GetDownloader();
  ASSERT_TRUE(engine->Init(Url(Kind::Http, 5000, "header_delay=20000"), u"", PathText(m_file)));
  ASSERT_TRUE(engine->ResumeWorker());
  std::this_thread::sleep_for(500ms);
  auto start = std::chrono::steady_clock::now();
  ShutdownDownloader();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);
  EXPECT_FALSE(std::filesystem::exists(m_file));
}

// A full disk, as a file-size limit in a child process: the write fails, the download ends in
// failure and the partial file is deleted. (Under Wine there is no such limit to set.)
TEST_F(WebDownloaderTest, AFullDiskFailsTheDownload) {
  std::u16string url = Url(Kind::Http, 500'000, "range_delay=200");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit limit{100'000, 100'000};
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, SIG_IGN);
    StateWatcher watch(m_file);
    if (!GetDownloader()->Init(url, u"", PathText(m_file))) _exit(100);
    watch.Begin();
    if (!GetDownloader()->ResumeWorker()) _exit(100);
    bool ended = watch.WatchUntilFinal();
    bool expected = ended && watch.states == std::vector<int32_t>{1, 2, 6, 7, 10} && !watch.fileExistsAtFinal;
    _exit(expected ? 0 : 101);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::exists(m_file));
}
#endif

}  // namespace
