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
  std::string good, missing, expired, toHttp, toHttps, toHttpsTarget;
};

// Links on lines 5 to 10 of the configuration.
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
         "</installerInfo></product></torvinwebinstaller>\n";
}

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
  l.toHttpsTarget = server.UrlText(Kind::Https, 7);
  l.toHttps = server.UrlText(Kind::Https, 7, "redirect=" + l.toHttpsTarget);
  test::VendorFolder folder;
  folder.Write("TorvinWebInstaller.xml", Escaped(Configuration(l)));

  std::ostringstream progress;
  const CheckReport report = CheckFolder(folder.Path(), true, progress);
  ASSERT_EQ(report.links.size(), 5u);
  const std::string lines = progress.str();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 5) << lines;

  auto findingAt = [&](int32_t line) -> std::string {
    for (const Finding& f : report.findings.Items())
      if (f.file == "TorvinWebInstaller.xml" && f.line == line) return f.message;
    return {};
  };
  const LinkProbeReport& good = report.links[0];
  EXPECT_TRUE(good.replied);
  EXPECT_EQ(good.status, 206u);  // the probe asks for the first byte only
  EXPECT_EQ(good.size, 5000u);
  EXPECT_EQ(findingAt(5), "");
  EXPECT_NE(findingAt(6).find("status 404"), std::string::npos) << findingAt(6);
  EXPECT_NE(findingAt(8).find("no reply"), std::string::npos) << findingAt(8);
  EXPECT_NE(findingAt(9).find("no reply"), std::string::npos) << findingAt(9);
  const LinkProbeReport& redirected = report.links[4];
  EXPECT_TRUE(redirected.replied);
  EXPECT_EQ(platform::ToUtf8(redirected.finalUrl), l.toHttpsTarget);
  EXPECT_EQ(redirected.size, 7u);
  EXPECT_EQ(findingAt(10), "");
  EXPECT_NE(DescribeProbe(redirected).find("redirected to " + l.toHttpsTarget), std::string::npos);
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

}  // namespace
}  // namespace kit
