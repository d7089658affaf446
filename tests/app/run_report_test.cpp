// What leaves the computer about a run: the help link's placeholders, the report's address and its
// fields, and the report sent to a real server, or given up on at its time limit.
#include "app/run_report.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app/help_address.h"
#include "tests/app/run_log_capture.h"

namespace {

RunFacts Facts() {
  RunFacts facts;
  facts.version = "1.0.0.0";
  facts.osName = "Windows 7";
  facts.osVersion = "6.1";
  facts.bits = "64";
  facts.language = "de-CH";
  facts.dpi = 144;
  return facts;
}

TEST(HelpAddress, PlaceholdersAreFilledAndEncodedAndOtherAddressesOpenUnchanged) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"https://example.com/help?e={code}&os={os}&b={bit}&l={lang}&v={version}",
       u"https://example.com/help?e=E2008&os=Windows%207&b=64&l=de-CH&v=1.0.0.0"},
      {u"https://example.com/{code}/{code}", u"https://example.com/E2008/E2008"},
      {u"https://example.com/help?x={unknown}&{", u"https://example.com/help?x={unknown}&{"},
      {u"https://example.com/download-help", u"https://example.com/download-help"},
  };
  for (const auto& [address, filled] : cases) EXPECT_EQ(FillHelpAddress(address, Facts(), "E2008"), filled);
  EXPECT_EQ(FillHelpAddress(u"https://example.com/?e={code}", Facts(), ""), u"https://example.com/?e=");
}

TEST(RunReportAddress, CarriesTheFiguresAndNothingElse) {
  RunFigures figures;
  figures.phaseMs = {120, 340, 5600, std::nullopt, std::nullopt};
  figures.received = 5000;
  figures.size = 655360;
  figures.tries = 3;
  figures.restarts = 1;
  figures.proxy = true;
  EXPECT_EQ(ReportAddress(u"https://vendor.example/r", RunOutcome::Failed, "E2008", figures, Facts()),
            u"https://vendor.example/r?outcome=failed&code=E2008&startup_ms=120&probe_ms=340&transfer_ms=5600"
            u"&checks_ms=&launch_ms=&received=5000&size=655360&tries=3&restarts=1&version=1.0.0.0&os=6.1&bit=64"
            u"&scale=150&lang=de-CH&proxy=1");
  const std::u16string withQuery =
      ReportAddress(u"https://vendor.example/r?product=plantyx#top", RunOutcome::Launched, "", {}, Facts());
  EXPECT_EQ(withQuery.rfind(u"https://vendor.example/r?product=plantyx&outcome=launched&code=&", 0), 0u);
  EXPECT_EQ(withQuery.find(u'#'), std::u16string::npos);
  EXPECT_TRUE(IsReportAddress(u"https://vendor.example/r"));
  EXPECT_FALSE(IsReportAddress(u"http://vendor.example/r"));
  EXPECT_FALSE(IsReportAddress(u"vendor.example/r"));
}

TEST(RunReport, APlainHttpAddressIsNeverSent) {
  RunLogCapture log;
  StartRunReport(u"http://vendor.example/r");
  FinishRunReport();
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"report: not sent, http://vendor.example/r is not an https address"});
}

}  // namespace

// Natively the test program runs the test server itself; under Wine the end-to-end runs send it.
#if !defined(_WIN32)
#include "tests/download/download_test_helpers.h"

namespace {

std::u16string ReportUrl(const std::string& id, const std::string& query = {}) {
  std::string url = TestHttpServer::Get().UrlText(TestHttpServer::Kind::Https, 0);
  url = url.substr(0, url.find("/file/")) + "/report/" + id + (query.empty() ? "" : "?" + query);
  return TestHttpServer::Widen(url);
}

TEST(RunReport, OneGetReachesTheServerWithTheRunsFields) {
  const std::u16string address = ReportAddress(ReportUrl("report-fields"), RunOutcome::Cancelled, "", {}, Facts());
  const ReportReply reply = SendReport(address);
  EXPECT_EQ(DescribeReportReply(reply), "status 204");
  const std::vector<std::string> seen = ServerLog(TestHttpServer::Get(), "report-fields");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(TestHttpServer::Widen(seen[0]), address.substr(address.find(u'?') + 1));
}

TEST(RunReport, AnAddressThatNeverAnswersIsGivenUpAtTheLimit) {
  RunLogCapture log;
  TheRun.Restart();
  TheRun.Conclude(RunOutcome::Cancelled);
  const auto start = std::chrono::steady_clock::now();
  StartRunReport(ReportUrl("report-silent", "header_delay=20000"));
  FinishRunReport();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(kReportLimitMs - 100));
  EXPECT_LT(took, std::chrono::seconds(10));  // far from the server's 20 s
  EXPECT_EQ(log.Lines().back(), "report: no answer within 2 s, given up");
}

}  // namespace
#endif
