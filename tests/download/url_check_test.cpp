// The address test the installer applies before it starts the engine: canonicalise, then split.
#include <gtest/gtest.h>

#include "platform/http.h"

namespace {

using platform::http::CanonicalizeAndSplit;
using platform::http::Scheme;
using platform::http::SplitUrl;
using platform::http::UrlParts;

TEST(UrlCheck, AcceptsWhatTheSystemSplitsAndRefusesTheRest) {
  struct Case {
    std::u16string url;
    bool parses;
  };
  const Case cases[] = {
      {u"http://dl.example.com/setup.exe", true},
      {u"https://dl.example.com:8443/a/setup.exe?x=1", true},
      {u"http://", true},
      {u"127.0.0.1:8080/x.exe", true},  // the part before the colon counts as a scheme
      {u"", false},
      {u"bad url with spaces", false},
      {u"dl.example.com/setup.exe", false},
      {u"http://dl.example.com/setup.exe?q=" + std::u16string(3000, u'a'), false},
      {u"http://" + std::u16string(2100, u'h') + u".example/setup.exe", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.url.begin(), c.url.begin() + std::min<size_t>(c.url.size(), 60)));
    EXPECT_EQ(CanonicalizeAndSplit(c.url), c.parses);
  }
}

TEST(UrlCheck, SplitGivesTheParts) {
  UrlParts parts;
  ASSERT_TRUE(SplitUrl(u"https://user:pw@dl.example.com:8443/a/setup.exe?x=1", parts));
  EXPECT_EQ(parts.scheme, Scheme::Https);
  EXPECT_EQ(parts.host, u"dl.example.com");
  EXPECT_EQ(parts.port, 8443);
  EXPECT_EQ(parts.user, u"user");
  EXPECT_EQ(parts.password, u"pw");
  EXPECT_EQ(parts.path, u"/a/setup.exe");
  EXPECT_EQ(parts.extra, u"?x=1");

  ASSERT_TRUE(SplitUrl(u"http://dl.example.com/setup.exe", parts));
  EXPECT_EQ(parts.scheme, Scheme::Http);
  EXPECT_EQ(parts.port, 80);
  EXPECT_TRUE(parts.extra.empty());
  EXPECT_FALSE(SplitUrl(u"no scheme here", parts));
}

}  // namespace
