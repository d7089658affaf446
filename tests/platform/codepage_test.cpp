// The code-page seam: its contract, and its agreement with MultiByteToWideChar as Wine has it.
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/platform/codepage_dump.h"

namespace {

TEST(CodePage, CountsThenWritesOnlyWhatFits) {
  const std::string bytes = "caf\xC3\xA9 \xF0\x9F\x98\x80";
  const auto count = static_cast<int32_t>(bytes.size());
  EXPECT_EQ(platform::MultiByteToUtf16(65001, bytes.data(), count, nullptr, 0), 7);
  char16_t text[8] = {};
  EXPECT_EQ(platform::MultiByteToUtf16(65001, bytes.data(), count, text, 6), 0);
  ASSERT_EQ(platform::MultiByteToUtf16(65001, bytes.data(), count, text, 7), 7);
  EXPECT_EQ(std::u16string(text, 7), u"caf\u00E9 \U0001F600");
  EXPECT_EQ(platform::MultiByteToUtf16(65001, bytes.data(), 0, text, 7), 0);
}

TEST(CodePage, ToUtf16ConvertsWholeTexts) {
  EXPECT_EQ(platform::ToUtf16(28595, "\xBF\xE0\xD8"), u"\u041F\u0440\u0438");
  EXPECT_EQ(platform::ToUtf16(65001, ""), u"");
}

TEST(CodePage, RefusesWhatWindowsRefuses) {
  for (int32_t codePage : {1200, 1201, 12000, 12001, 65005, 12345}) {
    SCOPED_TRACE(codePage);
    EXPECT_EQ(platform::ToUtf16(codePage, "<\0a\0"), u"");
  }
}

TEST(CodePage, ZeroIsTheAnsiCodePage) {
#ifndef _WIN32
  EXPECT_EQ(platform::AnsiCodePage(), 1252);
  EXPECT_EQ(platform::ToUtf16(0, "\x80 \xE9\x81"), u"\u20AC \u00E9\u0081");
#endif
  EXPECT_EQ(platform::ToUtf16(0, "\x80 \xE9\x81\xFF"),
            platform::ToUtf16(platform::AnsiCodePage(), "\x80 \xE9\x81\xFF"));
}

TEST(CodePage, MalformedBytesBecomeReplacementCharacters) {
  EXPECT_EQ(platform::ToUtf16(65001, "a\x80z\xED\xA0\x80"), u"a\uFFFDz\uFFFD\uFFFD");
  EXPECT_EQ(platform::ToUtf16(932, "\x82\xA0\x82"), u"\u3042\u30FB");
  EXPECT_EQ(platform::ToUtf16(65000, "+AOkA6Q-!+AOk"), u"\u00E9\u00E9!\u00E9");
}

// Code pages whose Linux conversion is known to differ from Wine's, and why. Everything else
// that Wine converts must convert the same, byte for byte.
std::map<int32_t, std::string> KnownDifferences() {
#ifdef _WIN32
  return {};
#else
  const std::string noCharset = "no charset or table for it here: a load fails with a file_error record";
  const std::string doubleByte =
      "Windows maps the user-defined areas and undefined single bytes to private-use characters, glibc "
      "does not; a few vendor additions differ";
  return {
      {932, doubleByte},
      {936, doubleByte},
      {949, doubleByte},
      {950, doubleByte},
      {1361, doubleByte + "; 0x5C is U+20A9 in glibc"},
      {10001, noCharset},
      {10002, noCharset},
      {10003, noCharset},
      {10008, noCharset},
      {20932, doubleByte},
      {20949, doubleByte},
      {65000, "undecodable bytes pass through on both, but a lone '+' at the end gives nothing on Windows"},
  };
#endif
}

std::vector<std::string> ReferenceLines(int32_t codePage) {
  static const char* const kReference[] = {
#include "tests/platform/codepage_reference.inc"
  };
  const std::string prefix = std::to_string(codePage) + " ";
  std::vector<std::string> lines;
  for (const char* line : kReference)
    if (std::string_view(line).starts_with(prefix)) lines.emplace_back(line);
  return lines;
}

// Single-byte results as "byte:reference/ours", or the names of the other lines that differ.
std::string DescribeDifference(const std::vector<std::string>& reference,
                               const std::vector<std::string>& ours) {
  std::ostringstream out;
  for (size_t i = 0; i < reference.size(); ++i) {
    const std::string mine = i < ours.size() ? ours[i] : "(missing)";
    if (mine == reference[i]) continue;
    out << "\n  reference: " << reference[i].substr(0, 200) << "\n  ours:      " << mine.substr(0, 200);
  }
  return out.str();
}

TEST(CodePage, AgreesWithWineWhereBothConvert) {
  const std::map<int32_t, std::string> known = KnownDifferences();
  std::ostringstream report;
  for (int32_t codePage : codepage_dump::kTableCodePages) {
    const std::vector<std::string> reference = ReferenceLines(codePage);
    ASSERT_FALSE(reference.empty()) << codePage;
    if (reference.front().ends_with(" none")) continue;  // Wine cannot convert it either
    const std::vector<std::string> ours = codepage_dump::Lines(codePage);
    const bool same = ours == reference;
    const auto reason = known.find(codePage);
    if (same && reason != known.end())
      ADD_FAILURE() << codePage << " agrees now: drop it from the known list";
    if (same || reason != known.end()) {
      if (!same) report << codePage << ": " << reason->second << "\n";
      continue;
    }
    ADD_FAILURE() << "code page " << codePage << " differs:" << DescribeDifference(reference, ours);
  }
  std::printf("Code pages that convert differently from Wine:\n%s", report.str().c_str());
}

}  // namespace
