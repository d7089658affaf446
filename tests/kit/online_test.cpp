// `check --online` against the test server: each link probed as the installer probes it, and the
// links the installer could not download from reported at their line.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "download/sha256_text.h"
#include "kit/check_command.h"
#include "platform/held_file.h"
#include "platform/trust.h"
#include "platform/utf.h"
#include "tests/download/download_test_helpers.h"
#include "tests/kit/vendor_folder_fixture.h"
#include "tests/support/test_http_server.h"

namespace kit {
namespace {

using Kind = TestHttpServer::Kind;

struct Links {
  std::string good, missing, expired, toHttp, toHttps, wrongName, unreachable;
};

// Links on lines 5 to 12 of the configuration (none on 7).
std::string Configuration(const Links& l) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<torvinwebinstaller><product><name>P</name><registry>SOFTWARE\\P</registry>\n"
         "<installerInfo default=\"YES\">\n"
         "<os>Windows 7</os><bit>64</bit>\n"
         "<rlink>" +
         l.good +
         "</rlink>\n"
         "<patch>" +
         l.missing +
         "</patch>\n"
         "</installerInfo><installerInfo><os>Windows 8</os><bit>64</bit>\n"
         "<rlink>" +
         l.expired +
         "</rlink>\n"
         "<patch>" +
         l.toHttp +
         "</patch>\n"
         "</installerInfo><installerInfo><os>Windows Vista</os><bit>64</bit><rlink>" +
         l.toHttps +
         "</rlink>\n"
         "</installerInfo><installerInfo><os>Windows XP</os><bit>64</bit><rlink>" +
         l.wrongName +
         "</rlink>\n"
         "<patch>" +
         l.unreachable +
         "</patch>\n"
         "</installerInfo></product></torvinwebinstaller>\n";
}

// A test address as a JSON string: quoted, nothing in it to escape.
std::string JsonText(const std::string& url) { return "\"" + url + "\""; }

std::string Escaped(std::string url) {
  for (size_t at = 0; (at = url.find('&', at)) != std::string::npos; at += 5) url.replace(at, 1, "&amp;");
  return url;
}

TEST(Online, EachLinkProbedAndJudgedAsTheInstallerWould) {
  TestHttpServer& server = TestHttpServer::Get();
  Links l;
  l.good = server.UrlText(Kind::Https, 5000);
  l.missing = server.UrlText(Kind::Https, 10, "status=404");
  l.expired = server.UrlText(Kind::HttpsExpired, 10);
  l.toHttp = server.UrlText(Kind::Https, 10, "redirect=" + server.UrlText(Kind::Http, 10));
  // Two hops, the second to an address relative to the first.
  const std::string hop = server.UrlText(Kind::Https, 7, "redirect=/file/7");
  const std::string target = server.UrlText(Kind::Https, 7);
  l.toHttps = server.UrlText(Kind::Https, 7, "redirect=" + hop);
  l.wrongName = server.UrlText(Kind::HttpsWrongName, 10);
  l.unreachable = "https://localhost:1/file/10";
  test::VendorFolder folder;
  folder.Write("TorvinWebInstaller.xml", Escaped(Configuration(l)));

  std::ostringstream progress;
  const CheckReport report = CheckFolder(folder.Path(), true, progress);
  ASSERT_EQ(report.links.size(), 7u);
  const std::string lines = progress.str();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 7) << lines;

  auto findingAt = [&](int32_t line) -> std::string {
    for (const Finding& f : report.findings.Items())
      if (f.file == "TorvinWebInstaller.xml" && f.line == line) return f.message;
    return {};
  };
  const ProbeReply& good = report.links[0].probe;
  EXPECT_EQ(good.outcome, platform::http::SendResult::Replied);
  EXPECT_EQ(good.status, 206u);  // the probe asks for the first byte only
  EXPECT_EQ(good.size, 5000u);
  EXPECT_EQ(findingAt(5), "");
  EXPECT_NE(findingAt(6).find("status 404"), std::string::npos) << findingAt(6);
  const std::string certificate = "refused: the server's certificate was not accepted";
  EXPECT_NE(findingAt(8).find(certificate), std::string::npos) << findingAt(8);
  EXPECT_NE(findingAt(11).find(certificate), std::string::npos) << findingAt(11);
  EXPECT_NE(findingAt(9).find("refused: redirected from https to http"), std::string::npos) << findingAt(9);
  EXPECT_NE(findingAt(12).find("no reply: the server cannot be reached"), std::string::npos) << findingAt(12);
  EXPECT_NE(DescribeProbe(report.links[2]).find("refused (certificate)"), std::string::npos);
  EXPECT_NE(DescribeProbe(report.links[3]).find("refused (redirect)"), std::string::npos);

  const LinkProbeReport& redirected = report.links[4];
  EXPECT_EQ(redirected.probe.size, 7u);
  EXPECT_EQ(findingAt(10), "");
  EXPECT_NE(DescribeProbe(redirected).find("redirected: " + l.toHttps + " -> " + hop + " -> " + target),
            std::string::npos)
      << DescribeProbe(redirected);
  std::ostringstream json;
  PrintJson(report, json);
  EXPECT_NE(json.str().find("\"redirects\": [" + JsonText(hop) + ", " + JsonText(target) +
                            "], \"final_url\": " + JsonText(target)),
            std::string::npos)
      << json.str();
  EXPECT_NE(json.str().find("\"refused\": \"certificate\""), std::string::npos);
}

// The digest of the test server's file of `size` bytes.
std::string PatternDigest(size_t size) {
  TempFolder folder;
  const std::filesystem::path path = folder.Write("pattern", Pattern(0, size));
  platform::HeldFile file;
  EXPECT_TRUE(file.Open(path.u16string()));
  return platform::ToUtf8(Sha256Text(platform::FileSha256(file).value()));
}

TEST(Online, LinksWithDigestsAreDownloadedAndChecked) {
  TestHttpServer& server = TestHttpServer::Get();
  const std::string good = server.UrlText(Kind::Http, 70000), tampered = server.UrlText(Kind::Http, 70001);
  test::VendorFolder folder;
  folder.Write("TorvinWebInstaller.xml",
               "<torvinwebinstaller><product><name>P</name><registry>SOFTWARE\\P</registry>\n"
               "<installerInfo default=\"YES\"><os>Windows 7</os><bit>64</bit>\n"
               "<rlink sha256=\"" +
                   PatternDigest(70000) + "\">" + good +
                   "</rlink>\n"
                   "<patch sha256=\"" +
                   std::string(64, '0') + "\">" + tampered +
                   "</patch>\n"
                   "</installerInfo></product></torvinwebinstaller>\n");
  std::ostringstream progress;
  const CheckReport report = CheckFolder(folder.Path(), true, progress);
  ASSERT_EQ(report.links.size(), 2u);
  EXPECT_TRUE(report.links[0].fileChecked);
  EXPECT_TRUE(report.links[0].file.passed) << report.links[0].file.report;
  EXPECT_TRUE(report.links[1].fileChecked);
  EXPECT_FALSE(report.links[1].file.passed);
  bool refused = false;
  for (const Finding& f : report.findings.Items())
    refused = refused ||
              (f.line == 4 && f.message.find("the installer would refuse the file") != std::string::npos);
  EXPECT_TRUE(refused) << progress.str();
}

TEST(Online, ASignerIsCheckedWhereThePlatformCan) {
  TestHttpServer& server = TestHttpServer::Get();
  test::VendorFolder folder;
  folder.Write(
      "TorvinWebInstaller.xml",
      "<torvinwebinstaller><product signer=\"Plantyx Ltd\"><name>P</name><registry>SOFTWARE\\P</registry>\n"
      "<installerInfo default=\"YES\"><os>Windows 7</os><bit>64</bit>\n"
      "<rlink>" +
          server.UrlText(Kind::Http, 5000) +
          "</rlink>\n"
          "</installerInfo></product></torvinwebinstaller>\n");
  std::ostringstream progress;
  const CheckReport report = CheckFolder(folder.Path(), true, progress);
  ASSERT_EQ(report.links.size(), 1u);
  ASSERT_TRUE(report.links[0].fileChecked);
#ifdef _WIN32
  // The test server's file carries no signature: the system refuses it.
  EXPECT_FALSE(report.links[0].file.passed);
  EXPECT_FALSE(report.links[0].file.signerUnchecked);
#else
  EXPECT_TRUE(report.links[0].file.signerUnchecked);
  EXPECT_NE(report.links[0].file.report.find("signer not checked on this platform"), std::string::npos);
#endif
}

// The report address gets one GET marked as the kit's; one that cannot be reached is a finding.
TEST(Online, TheReportAddressIsProbed) {
  TestHttpServer& server = TestHttpServer::Get();
  std::string base = server.UrlText(Kind::Https, 0);
  base = base.substr(0, base.find("/file/"));
  for (const auto& [address, heard] : {std::pair{base + "/report/kit-probe", true},
                                       std::pair{std::string("https://localhost:1/report"), false}}) {
    SCOPED_TRACE(address);
    test::VendorFolder folder;
    folder.Write("TorvinWebInstaller.xml",
                 "<torvinwebinstaller><product report=\"" + address +
                     "\"><name>P</name><registry>SOFTWARE\\P</registry>\n<installerInfo default=\"YES\"><os>Windows "
                     "7</os><bit>64</bit><rlink>" +
                     server.UrlText(Kind::Https, 5000) + "</rlink></installerInfo></product></torvinwebinstaller>\n");
    std::ostringstream progress;
    const CheckReport report = CheckFolder(folder.Path(), true, progress);
    EXPECT_NE(progress.str().find("probed report " + address + ": " + (heard ? "status 204" : "no reply")),
              std::string::npos)
        << progress.str();
    EXPECT_EQ(report.findings.Empty(), heard)
        << (report.findings.Empty() ? std::string() : report.findings.Items()[0].message);
  }
  EXPECT_EQ(ServerLog(server, "kit-probe"), std::vector<std::string>{"outcome=check"});
}

}  // namespace
}  // namespace kit
