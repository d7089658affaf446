// A range transfer that loses its connection asks again for the rest, and never joins two versions
// of a file: each case checks the file byte for byte against the version served last, and the
// requests the server saw.
#include <gtest/gtest.h>

#include <algorithm>

#include "download/retry_schedule.h"
#include "range_fetch_fixture.h"

namespace {

using ResumeTest = RangeFetchTest;

constexpr uint64_t kSize = 100'000;

struct ResumeCase {
  const char* name;
  std::string query;
  std::vector<std::string> requests;  // as the server logged them; " *" ends a line of any byte count
  uint64_t finalSize = kSize;
  int finalVersion = 1;
};

// The server's log against the expected lines; a reply given up at its headers sent a byte count
// that depends on how far the server got meanwhile.
void ExpectRequests(const std::vector<std::string>& seen, const std::vector<std::string>& expected) {
  bool same = seen.size() == expected.size();
  for (size_t i = 0; same && i < seen.size(); ++i) {
    const std::string& want = expected[i];
    const bool anyCount = want.size() >= 2 && want.compare(want.size() - 2, 2, " *") == 0;
    same = anyCount ? seen[i].compare(0, want.size() - 1, want, 0, want.size() - 1) == 0 : seen[i] == want;
  }
  EXPECT_TRUE(same) << testing::PrintToString(seen) << "\nexpected " << testing::PrintToString(expected);
}

TEST_F(ResumeTest, ALostConnectionIsAskedForTheRest) {
  const std::string lastModified = "Mon, 01 Jan 2024 00:00:00 GMT";
  const ResumeCase cases[] = {
      {"two drops, strong ETag",
       "cut=30000&faults=2",
       {"bytes=0-99999 - 206 30000", "bytes=30000-99999 \"v1\" 206 30000",
        "bytes=60000-99999 \"v1\" 206 40000"}},
      {"the body ends early",
       "short=40000&faults=1",
       {"bytes=0-99999 - 206 60000", "bytes=60000-99999 \"v1\" 206 40000"}},
      {"Last-Modified without ETag",
       "validators=lastmod&cut=30000&faults=1",
       {"bytes=0-99999 - 206 30000", "bytes=30000-99999 " + lastModified + " 206 70000"}},
      // Nothing to carry in If-Range: the file is fetched again from byte 0.
      {"no validator",
       "validators=none&cut=30000&faults=1",
       {"bytes=0-99999 - 206 30000", "bytes=0-99999 - 206 100000"}},
      {"only a weak ETag",
       "validators=weak&cut=30000&faults=1",
       {"bytes=0-99999 - 206 30000", "bytes=0-99999 - 206 100000"}},
      // With an entity tag the date is never sent, and a weak tag cannot join two pieces.
      {"a weak ETag and a date",
       "validators=weak_lastmod&cut=30000&faults=1",
       {"bytes=0-99999 - 206 30000", "bytes=0-99999 - 206 100000"}},
      // A server that ignores If-Range answers with the rest of its new file: that rest is
      // refused by its validator, and the new file is fetched whole.
      {"the server ignores If-Range and the file changed",
       "cut=30000&faults=1&change_after=1&ignore_if_range=1",
       {"bytes=0-99999 - 206 30000", "bytes=30000-99999 \"v1\" 206 *", "bytes=0-99999 - 206 100000"},
       kSize,
       2},
      // The announced length is one byte longer than the range, and the connection closes after
      // the range's last byte: the download is complete, with no further request.
      {"every byte, then the connection fails", "long=1&short=1&faults=1&range_only=1", {"bytes=0-99999 - 206 100000"}},
      // The first request is answered like a resume: "not now" waits, and a file replaced since
      // the probe is fetched with its new size.
      {"503 with Retry-After at the first request",
       "status=503&retry_after=1&range_only=1&faults=1",
       {"bytes=0-99999 - 503 *", "bytes=0-99999 - 206 100000"}},
      {"a larger file since the probe",
       "change_after=0&newsize=120000",
       {"bytes=0-99999 - 206 100000", "bytes=100000-119999 \"v2\" 206 20000"},
       120'000,
       2},
      {"a smaller file since the probe", "change_after=0&newsize=80000", {"bytes=0-99999 - 206 80000"}, 80'000, 2},
      // The If-Range no longer holds: the server sends the new file whole, with its new length.
      {"the file changed",
       "cut=30000&faults=1&change_after=1&newsize=120000",
       {"bytes=0-99999 - 206 30000", "bytes=30000-99999 \"v1\" 200 120000"},
       120'000,
       2},
      {"a resume answered with 200",
       "dropat=30000&resume_status=200",
       {"bytes=0-99999 - 206 30000", "bytes=30000-99999 \"v1\" 200 100000"}},
      {"503, then the rest",
       "cut=30000&resume_status=503&faults=2",
       {"bytes=0-99999 - 206 30000", "bytes=30000-99999 \"v1\" 503 0", "bytes=30000-99999 \"v1\" 206 70000"}},
  };
  for (const ResumeCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetDownloadShared();
    const std::string id = NewId();
    EXPECT_EQ(Fetch(Url(Kind::Http, kSize, c.query + "&id=" + id), 0, kSize - 1, kSize), STATUS_DOWNLOADDONE);
    EXPECT_TRUE(FileBytes() == Pattern(0, c.finalSize, c.finalVersion));
    ExpectRequests(Log(id), c.requests);
    // Bytes of a version given up are forgotten: the count is the file's.
    EXPECT_EQ(ReadStatus().received, c.finalSize);
    EXPECT_EQ(ReadStatus().total, c.finalSize);
  }
}

#ifndef _WIN32
// A reset throws away what the client had not read yet; Wine's WinINet reads lazily and loses most
// of it, so this case is checked natively.
TEST_F(ResumeTest, AResetConnectionIsAskedForTheRest) {
  const std::string id = NewId();
  EXPECT_EQ(Fetch(Url(Kind::Http, kSize, "reset=30000&faults=1&id=" + id), 0, kSize - 1, kSize),
            STATUS_DOWNLOADDONE);
  EXPECT_TRUE(FileBytes() == Pattern(0, kSize));
  EXPECT_EQ(Log(id).size(), 2u);
}
#endif

TEST_F(ResumeTest, RetryAfterIsHonoured) {
  const std::string id = NewId();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Fetch(Url(Kind::Http, kSize, "cut=30000&resume_status=429&retry_after=3&faults=2&id=" + id), 0,
                  kSize - 1, kSize),
            STATUS_DOWNLOADDONE);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 4s) << "1 s after the drop, then the 3 s asked for";
  EXPECT_EQ(Log(id).size(), 3u);
  EXPECT_TRUE(FileBytes() == Pattern(0, kSize));
}

TEST_F(ResumeTest, RefusalsAreNeverRetried) {
  const std::string id = NewId();
  EXPECT_EQ(Fetch(Url(Kind::Http, kSize, "cut=30000&resume_status=404&id=" + id), 0, kSize - 1, kSize),
            STATUS_DOWNLOAD_FAILED);
  EXPECT_EQ(Log(id),
            (std::vector<std::string>{"bytes=0-99999 - 206 30000", "bytes=30000-99999 \"v1\" 404 0"}));
}

TEST_F(ResumeTest, FiveFruitlessTriesFailForGood) {
  // Every try loses its connection before the first byte: waits of 1, 2, 4 and 8 s between them.
  const std::string id = NewId();
  EXPECT_EQ(Fetch(Url(Kind::Http, kSize, "reset=0&range_only=1&id=" + id), 0, kSize - 1, kSize),
            STATUS_DOWNLOAD_FAILED);
  EXPECT_EQ(Log(id), std::vector<std::string>(5, "bytes=0-99999 - 206 0"));
}

// A server that feeds each connection one byte keeps bringing new bytes, but never a mebibyte:
// the series of tries ends after twenty of them.
TEST_F(ResumeTest, TriesThatBringAFewBytesEachEndTheSeries) {
  const std::string id = NewId();
  EXPECT_EQ(Fetch(Url(Kind::Http, kSize, "cut=1&range_only=1&id=" + id), 0, kSize - 1, kSize),
            STATUS_DOWNLOAD_FAILED);
  EXPECT_EQ(Log(id).size(), static_cast<size_t>(kMaxTriesPerMilestone));
  EXPECT_EQ(ReadStatus().received, static_cast<uint64_t>(kMaxTriesPerMilestone));
}

TEST_F(ResumeTest, TheWaitShowsReconnectingKeepsTheCountAndHoldsWhileAsked) {
  const std::string id = NewId();
  int32_t state = FetchWhile(Url(Kind::Http, kSize, "cut=30000&faults=1&id=" + id), kSize, [&] {
    for (int i = 0; i < 10000 && ReadStatus().state != STATUS_RECONNECTING; ++i)
      std::this_thread::sleep_for(1ms);
    DownloadStatus waiting = ReadStatus();
    EXPECT_EQ(waiting.state, STATUS_RECONNECTING);
    EXPECT_EQ(waiting.received, 30'000u);
    RunEvent.Clear();  // the owner's question: the wait of 1 s holds for as long as it is open
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(Log(id).size(), 1u);
    EXPECT_EQ(ReadStatus().state, STATUS_RECONNECTING);
    RunEvent.Set();
  });
  EXPECT_EQ(state, STATUS_DOWNLOADDONE);
  EXPECT_TRUE(FileBytes() == Pattern(0, kSize));
}

TEST_F(ResumeTest, ACancelEndsTheWaitAtOnce) {
  auto cancelled = std::chrono::steady_clock::time_point();
  int32_t state = FetchWhile(Url(Kind::Http, kSize, "reset=0&range_only=1"), kSize, [&] {
    for (int i = 0; i < 10000 && ReadStatus().state != STATUS_RECONNECTING; ++i)
      std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(200ms);
    cancelled = std::chrono::steady_clock::now();
    CancelEvent.Set();
  });
  EXPECT_EQ(state, STATUS_DOWNLOAD_CANCELLED);
  // The final report comes 500 ms after the end; the wait itself had most of a second left.
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 5s);
}

#ifndef _WIN32
// A connection that drips a byte now and then is not silent, but brings less than the minimum in
// the stall window: it is given up and the rest asked for. (The rule is the same on every
// platform; it takes half a minute, so it runs natively only.)
TEST_F(ResumeTest, ATricklingConnectionIsAskedAgainAfterTheStallWindow) {
  const std::string id = NewId();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Fetch(Url(Kind::Http, kSize, "drip_after=30000&drip=2000&faults=1&id=" + id), 0, kSize - 1, kSize),
            STATUS_DOWNLOADDONE);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 60s);
  std::vector<std::string> log = Log(id);
  ASSERT_EQ(log.size(), 2u);
  std::sort(log.begin(), log.end());  // the dripping reply is logged last, when it notices the client left
  EXPECT_EQ(log[0].substr(0, 22), "bytes=0-99999 - 206 30") << log[0];
  EXPECT_EQ(log[1].substr(0, 9), "bytes=300") << log[1];
  EXPECT_NE(log[1].substr(0, 12), "bytes=30000-") << "the rest begins after the dripped bytes";
  EXPECT_TRUE(FileBytes() == Pattern(0, kSize));
}

// Wine's WinINet ignores the receive time-out: a silent server holds its read until it leaves, so
// the stall limit is seen natively only.
TEST_F(ResumeTest, AStalledConnectionIsAskedAgainAfterTheStallLimit) {
  const std::string id = NewId();
  EXPECT_EQ(Fetch(Url(Kind::Http, kSize, "silent_after=30000&faults=1&id=" + id), 0, kSize - 1, kSize),
            STATUS_DOWNLOADDONE);
  EXPECT_EQ(Log(id),
            (std::vector<std::string>{"bytes=0-99999 - 206 30000", "bytes=30000-99999 \"v1\" 206 70000"}));
  EXPECT_TRUE(FileBytes() == Pattern(0, kSize));
}
#endif

}  // namespace
