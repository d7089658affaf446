// Downloads through a real proxy on loopback: an http link as a proxied GET, an https link through
// the proxy's CONNECT tunnel with its certificate still checked. Natively the test starts the proxy
// and sets the proxy variables itself; under Wine a ctest wrapper starts it and points the
// prefix's Internet Settings at it, and TORVIN_PROXY_FOLDER names its folder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "range_fetch_fixture.h"

namespace {

class ProxyTest : public RangeFetchTest {
 protected:
  // The port of a test server address ("...://host:port/file/...").
  static std::string PortOf(const std::string& url) {
    size_t colon = url.find(':', url.find("//"));
    return url.substr(colon + 1, url.find('/', colon) - colon - 1);
  }

  // The proxy's folder (its port and log), or empty when no proxy could be started for this test.
  std::string StartProxy() {
#ifdef _WIN32
    const char* folder = std::getenv("TORVIN_PROXY_FOLDER");
    return folder != nullptr ? std::string("Z:") + folder : std::string();
#else
    m_proxyFolder = (m_folder / "proxy").string();
    std::string control = TORVIN_SOURCE_DIR "/tests/support/test-proxy";
    std::string httpsPort = PortOf(m_server.UrlText(Kind::Https, 1));
    if (std::system((control + " start " + m_proxyFolder + " " + httpsPort).c_str()) != 0) return {};
    std::string proxy = "http://127.0.0.1:" + ReadBytes(m_proxyFolder + "/port");
    proxy.erase(proxy.find_last_not_of("\n") + 1);
    setenv("http_proxy", proxy.c_str(), 1);
    setenv("https_proxy", proxy.c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    return m_proxyFolder;
#endif
  }

  void TearDown() override {
#ifndef _WIN32
    unsetenv("http_proxy");
    unsetenv("https_proxy");
    if (!m_proxyFolder.empty()) {
      std::system((TORVIN_SOURCE_DIR "/tests/support/test-proxy stop " + m_proxyFolder).c_str());
    }
#endif
    RangeFetchTest::TearDown();
  }

  std::string m_proxyFolder;
};

TEST_F(ProxyTest, HttpAndHttpsGoThroughTheProxy) {
  const std::string folder = StartProxy();
  ASSERT_FALSE(folder.empty()) << "no proxy could be started for this test (under Wine, tests/support/test-proxy "
                                  "runs it; natively the test starts it)";
  const std::string httpUrl = m_server.UrlText(Kind::Http, 70'000);
  const std::string httpsUrl = m_server.UrlText(Kind::Https, 50'000);

  EXPECT_EQ(ProbeSize(Url(Kind::Http, 70'000)), 70'000u);
  EXPECT_EQ(Fetch(Url(Kind::Http, 70'000), 0, 69'999, 70'000), STATUS_DOWNLOADDONE);
  EXPECT_EQ(FileBytes(), Pattern(0, 70'000));
  EXPECT_EQ(ProbeSize(Url(Kind::Https, 50'000)), 50'000u);
  EXPECT_EQ(Fetch(Url(Kind::Https, 50'000), 0, 49'999, 50'000), STATUS_DOWNLOADDONE);
  EXPECT_EQ(FileBytes(), Pattern(0, 50'000));
  EXPECT_EQ(ProbeSize(Url(Kind::HttpsWrongName, 50'000)), 0u) << "the tunnel does not hide the certificate";

  const std::string log = ReadBytes(folder + "/proxy.log");
  EXPECT_NE(log.find("GET " + httpUrl), std::string::npos) << log;
  EXPECT_NE(log.find("CONNECT localhost:" + PortOf(httpsUrl)), std::string::npos) << log;
}

}  // namespace
