// A range transfer that loses its connection asks again for the rest, and never joins two versions
// of a file: each case checks the file byte for byte against the version served last, and the
// requests the server saw.
#include <gtest/gtest.h>

#include "range_fetch_fixture.h"

namespace {

using ResumeTest = RangeFetchTest;

constexpr uint64_t kSize = 100'000;

struct ResumeCase {
  const char* name;
  std::string query;
  std::vector<std::string> requests;  // as the server logged them
  uint64_t finalSize = kSize;
  int finalVersion = 1;
};

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
    EXPECT_EQ(Log(id), c.requests);
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
