// The size probe and the ranged transfer against the test server: statuses, lengths, reply
// checks, faults, certificates, redirects, cancel and hold.
#include "download/http_transfer.h"

#include <gtest/gtest.h>

#include "range_fetch_fixture.h"

namespace {

using HttpTransferTest = RangeFetchTest;

TEST_F(HttpTransferTest, ProbeReadsTheLengthOfAcceptedStatuses) {
  std::string toHttps = "redirect=" + m_server.UrlText(Kind::Https, 5000);
  std::string toHttp = "redirect=" + m_server.UrlText(Kind::Http, 5000);
  struct Case {
    Kind kind;
    unsigned long long size;
    std::string query;
    uint64_t expected;
  };
  const Case cases[] = {
      {Kind::Http, 5000, "", 5000},
      {Kind::Http, 5000, "status=302", 5000},
      {Kind::Http, 5000, "status=401", 5000},
      {Kind::Http, 5000, "status=500", 5000},
      {Kind::Http, 5000, "status=404", 0},
      {Kind::Http, 5000, "status=199", 0},
      {Kind::Http, 5000, "status=501", 0},
      {Kind::Http, 5000, "norange=1&nolength=1", 0},
      {Kind::Http, 5000, "expect_range=bytes%3D0-0", 5000},  // the total of "bytes 0-0/5000"
      {Kind::Http, 5000, "norange=1", 5000},                 // a server that ignores the range
      {Kind::Http, 5000, "expect_nocache=1", 5000},          // no cache on the way answers for it
      {Kind::Http, 0, "", 0},                                // "bytes */0": nothing to fetch
      {Kind::Http, 5'000'000'000ull, "", 5'000'000'000ull},
      // The body is cut off at once: the probe never reads it, but a client that drains it on
      // close (Wine's) would otherwise read 5 GB.
      {Kind::Http, 5'000'000'000ull, "norange=1&short=5000000000", 5'000'000'000ull},
      {Kind::Http, 5000, toHttps, 5000},
      {Kind::Https, 5000, "", 5000},
      {Kind::Https, 5000, toHttp, 0},  // never from https down to http
      {Kind::HttpsExpired, 5000, "", 0},
      {Kind::HttpsWrongName, 5000, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(m_server.UrlText(c.kind, c.size, c.query));
    EXPECT_EQ(ProbeSize(Url(c.kind, c.size, c.query)), c.expected);
  }
}

TEST_F(HttpTransferTest, ProbeTellsARefusalFromNoReply) {
  using platform::http::SendResult;
  const std::string toHttp = "redirect=" + m_server.UrlText(Kind::Http, 10);
  // Each hop is judged against the one it leaves: once at https, never back to http.
  const std::string overHttpsToHttp = "redirect=" + m_server.UrlText(Kind::Https, 10, toHttp);
  struct Case {
    std::u16string url;
    SendResult outcome;
  };
  const Case cases[] = {
      {Url(Kind::Https, 10), SendResult::Replied},
      {Url(Kind::Http, 10, "status=404"), SendResult::Replied},
      {Url(Kind::HttpsExpired, 10), SendResult::CertificateRefused},
      {Url(Kind::HttpsWrongName, 10), SendResult::CertificateRefused},
      {Url(Kind::Https, 10, toHttp), SendResult::RedirectRefused},
      {Url(Kind::Http, 10, overHttpsToHttp), SendResult::RedirectRefused},
      {u"http://127.0.0.1:1/file/10", SendResult::Failed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.url.begin(), c.url.end()));
    EXPECT_EQ(ProbeLink(c.url).outcome, c.outcome);
  }
}

TEST_F(HttpTransferTest, ProbeListsEveryRedirectHopInOrder) {
  // From http to https, then to an address relative to the https one.
  const std::string secure = m_server.UrlText(Kind::Https, 7, "redirect=/file/7");
  const ProbeReply reply = ProbeLink(Url(Kind::Http, 7, "redirect=" + secure));
  EXPECT_EQ(reply.outcome, platform::http::SendResult::Replied);
  EXPECT_EQ(reply.size, 7u);
  EXPECT_EQ(reply.redirects,
            (std::vector<std::u16string>{TestHttpServer::Widen(secure), Url(Kind::Https, 7)}));
  EXPECT_TRUE(ProbeLink(Url(Kind::Https, 7)).redirects.empty());
}

TEST_F(HttpTransferTest, ProbeFetchesOneByteOnly) {
  const std::string id = NewId();
  EXPECT_EQ(ProbeSize(Url(Kind::Http, 10'000'000, "id=" + id)), 10'000'000u);
  EXPECT_EQ(Log(id), (std::vector<std::string>{"bytes=0-0 - 206 1"}));
}

TEST_F(HttpTransferTest, ProbeOfUnreachableOrUnsplittableAddressesIsZero) {
  EXPECT_EQ(ProbeSize(u"http://127.0.0.1:1/file/100"), 0u);
  EXPECT_EQ(ProbeSize(u"not an address"), 0u);
  EXPECT_EQ(ProbeSize(u""), 0u);
}

TEST_F(HttpTransferTest, WholeFileInFullPiecesEndingBetweenStagedBlocks) {
  constexpr uint64_t kSize = 4096 * 13;  // a multiple of the read size, not of the block size
  EXPECT_EQ(Fetch(Url(Kind::Http, kSize), 0, kSize - 1, kSize), STATUS_DOWNLOADDONE);
  EXPECT_EQ(FileBytes(), Pattern(0, kSize));
  EXPECT_EQ(ReadStatus().received, kSize);
}

TEST_F(HttpTransferTest, RangeSendsItsHeaderAndIsJudgedByItsLength) {
  const std::string expect = "expect_range=bytes%3D0-99&expect_agent=Kestrix_WebInstaller&expect_nocache=1";
  EXPECT_EQ(Fetch(Url(Kind::Http, 5000, expect), 0, 99, 5000), STATUS_DOWNLOADDONE);
  EXPECT_EQ(FileBytes(), Pattern(0, 100));

  EXPECT_EQ(Fetch(Url(Kind::Http, 5000, expect + "&long=1"), 0, 99, 5000), STATUS_DOWNLOAD_FAILED);
  EXPECT_LE(FileBytes().size(), 100u) << "nothing is written past the range";
}

TEST_F(HttpTransferTest, RangeIsWrittenAtItsOwnPosition) {
  EXPECT_EQ(Fetch(Url(Kind::Http, 5000), 1000, 1999, 5000), STATUS_DOWNLOADDONE);
  std::string bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 2000u);
  EXPECT_EQ(bytes.substr(1000), Pattern(1000, 1000));
}

TEST_F(HttpTransferTest, RepliesThatAreNotTheRangeAreNeverWritten) {
  struct Case {
    std::string query;
    uint64_t first;
  };
  const Case cases[] = {
      {"status=404", 0},    // an error page
      {"status=200", 100},  // a whole file where a later range was asked
      {"norange=1", 100},  {"badstart=1", 0}, {"badtotal=1", 100},  // another file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    EXPECT_EQ(Fetch(Url(Kind::Http, 5000, c.query), c.first, 4999, 5000), STATUS_DOWNLOAD_FAILED);
    EXPECT_EQ(FileBytes().size(), 0u);
  }
}

TEST_F(HttpTransferTest, AcceptsAWholeFileReplyAndARangeWithoutLength) {
  EXPECT_EQ(Fetch(Url(Kind::Http, 5000, "norange=1"), 0, 4999, 5000), STATUS_DOWNLOADDONE);
  EXPECT_EQ(FileBytes(), Pattern(0, 5000));
  EXPECT_EQ(Fetch(Url(Kind::Http, 5000, "nolength=1"), 0, 4999, 5000), STATUS_DOWNLOADDONE);
  EXPECT_EQ(FileBytes(), Pattern(0, 5000));
}

TEST_F(HttpTransferTest, BodiesLongerThanTheRangeFail) {
  for (const char* query : {"forever=1", "norange=1&long=10"}) {
    SCOPED_TRACE(query);
    EXPECT_EQ(Fetch(Url(Kind::Http, 100000, query), 0, 99999, 100000), STATUS_DOWNLOAD_FAILED);
    EXPECT_LE(FileBytes().size(), 100000u);
  }
}

TEST_F(HttpTransferTest, CertificatesAreVerified) {
  EXPECT_EQ(Fetch(Url(Kind::Https, 50000), 0, 49999, 50000), STATUS_DOWNLOADDONE);
  EXPECT_EQ(FileBytes(), Pattern(0, 50000));
  EXPECT_EQ(Fetch(Url(Kind::HttpsExpired, 50000), 0, 49999, 50000), STATUS_DOWNLOAD_FAILED);
  EXPECT_EQ(Fetch(Url(Kind::HttpsWrongName, 50000), 0, 49999, 50000), STATUS_DOWNLOAD_FAILED);
  EXPECT_EQ(FileBytes().size(), 0u);
}

TEST_F(HttpTransferTest, CancelBeforeOrDuringTheTransferEndsInCancelled) {
  CancelEvent.Set();
  EXPECT_EQ(Fetch(Url(Kind::Http, 5000), 0, 4999, 5000), STATUS_DOWNLOAD_CANCELLED);

  ResetDownloadShared();
  int32_t state = FetchWhile(Url(Kind::Http, 1'000'000, "trickle=5"), 1'000'000, [] {
    EXPECT_TRUE(WaitForBytes(4096));
    CancelEvent.Set();
  });
  EXPECT_EQ(state, STATUS_DOWNLOAD_CANCELLED);
}

TEST_F(HttpTransferTest, HoldingReadsNothingAndReleasingContinuesInPlace) {
  static constexpr uint64_t kSize = 150'000;
  int32_t state = FetchWhile(Url(Kind::Http, kSize, "trickle=2"), kSize, [] {
    EXPECT_TRUE(WaitForBytes(8192));
    RunEvent.Clear();
    std::this_thread::sleep_for(300ms);  // lets a read already under way finish
    uint64_t held = ReadStatus().received;
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(ReadStatus().received, held);
    EXPECT_LT(held, kSize);
    RunEvent.Set();
  });
  EXPECT_EQ(state, STATUS_DOWNLOADDONE);
  EXPECT_EQ(FileBytes(), Pattern(0, kSize));
}

}  // namespace
