// `check --online` against the test server: each link probed as the installer probes it, and the
// links the installer could not download from reported at their line.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "kit/check_command.h"
#include "platform/utf.h"
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
  EXPECT_EQ(good.status, 200u);
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

}  // namespace
}  // namespace kit
