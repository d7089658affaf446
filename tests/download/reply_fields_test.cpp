// The reply headers the engine decides on: which validator a resume may carry, and how long a
// Retry-After asks to wait, in either of its forms.
#include "download/reply_fields.h"

#include <gtest/gtest.h>

#include "download/retry_schedule.h"

namespace {

TEST(ReplyFields, OnlyAStrongETagOrADateWithoutAnETagResumes) {
  const std::u16string date = u"Mon, 01 Jan 2024 00:00:00 GMT";
  struct Case {
    std::optional<std::u16string> etag, lastModified;
    std::u16string validator;
  } cases[] = {
      {u"\"v1\"", date, u"\"v1\""},
      {u" \"v1\" ", std::nullopt, u"\"v1\""},
      {std::nullopt, date, date},
      {u"W/\"v1\"", date, u""},  // a weak tag: neither it nor the date
      {u"W/\"v1\"", std::nullopt, u""},
      {u"v1", date, u""},  // not a tag at all, but there: the date is not used either
      {std::nullopt, std::nullopt, u""},
      {std::nullopt, u"  ", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ResumeValidator(c.etag, c.lastModified), c.validator);
}

TEST(ReplyFields, HttpDatesInTheirThreeForms) {
  constexpr int64_t kExample = 784111777;  // Sun, 06 Nov 1994 08:49:37 GMT
  EXPECT_EQ(ParseHttpDate(u"Sun, 06 Nov 1994 08:49:37 GMT"), kExample);
  EXPECT_EQ(ParseHttpDate(u"Sunday, 06-Nov-94 08:49:37 GMT"), kExample);
  EXPECT_EQ(ParseHttpDate(u"Sun Nov  6 08:49:37 1994"), kExample);
  EXPECT_EQ(ParseHttpDate(u"Thu, 01 Jan 1970 00:00:00 GMT"), 0);
  EXPECT_EQ(ParseHttpDate(u"Tue, 29 Feb 2028 23:59:59 GMT"), 1835481599);
  EXPECT_EQ(ParseHttpDate(u"Friday, 31-Dec-49 00:00:00 GMT"), 2524521600);  // two digits: 2049
  for (const char16_t* bad : {u"", u"Sun, 06 Nov 1994 08:49:37", u"Sun, 06 Nox 1994 08:49:37 GMT",
                              u"Sun, 6 Nov 1994 08:49:37 GMT", u"Sun, 06 Nov 1994 24:00:00 GMT",
                              u"Sun, 06 Nov 1994 08:49:37 UTC", u"Sun Nov  6 08:49:37 94", u"120"}) {
    EXPECT_EQ(ParseHttpDate(bad), std::nullopt) << testing::PrintToString(std::u16string(bad).size());
  }
}

TEST(ReplyFields, RetryAfterInSecondsOrAsADateIsCutToAMinute) {
  constexpr int64_t kNow = 784111777;
  EXPECT_EQ(ParseRetryAfter(u"3", kNow), 3u);
  EXPECT_EQ(ParseRetryAfter(u" 120 ", kNow), 120u);
  EXPECT_EQ(ParseRetryAfter(u"Sun, 06 Nov 1994 08:50:07 GMT", kNow), 30u);
  EXPECT_EQ(ParseRetryAfter(u"Sun, 06 Nov 1994 08:49:00 GMT", kNow), 0u) << "a date already past";
  EXPECT_EQ(ParseRetryAfter(u"soon", kNow), std::nullopt);
  EXPECT_EQ(ParseRetryAfter(u"-5", kNow), std::nullopt);

  using std::chrono::seconds;
  EXPECT_EQ(RetryWait(0, 3), seconds(3));
  EXPECT_EQ(RetryWait(0, 120), seconds(60)) << "a longer wait than a minute is cut, not ignored";
  EXPECT_EQ(RetryWait(3, std::nullopt), seconds(8));
  EXPECT_EQ(RetryWait(9, std::nullopt), seconds(16));
}

}  // namespace
