// The lenient UTF-8 reading behind the detection of undeclared 8-bit text.
#include "xml/utf8_detection.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Decoded {
  int32_t code;
  ptrdiff_t consumed;
};

Decoded Decode(const std::string& bytes) {
  const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* position = begin;
  const int32_t code = DecodeUtf8Char(position, begin + bytes.size());
  return {code, position - begin};
}

TEST(Utf8Detection, DecodesOneCharacterAndStopsOnTheOffendingByte) {
  const struct {
    std::string bytes;
    int32_t code;
    ptrdiff_t consumed;
  } cases[] = {
      {"A", 'A', 1},
      {"\xC3\xA9", 0xE9, 2},
      {"\xE2\x82\xAC", 0x20AC, 3},
      {"\xF0\x9F\x98\x80", 0x1F600, 4},
      {"\xC0\xAF", 0x2F, 2},            // overlong forms pass
      {"\xED\xA0\x80", 0xD800, 3},      // so do surrogates
      {"\x80\x80", 0x00, 2},            // the lead byte's bit 0x40 is not examined
      {"\xC3\xC3", 0xC3, 2},            // nor the continuation bytes' bit 0x40
      {"\xF8\x88\x80\x80\x80", -1, 1},  // no five-byte sequences
      {"\xE2\x82", -1, 2},              // cut by the end
      {"\xE2\x41\x42", -1, 1},          // a byte without its top bit
  };
  for (const auto& c : cases) {
    const Decoded decoded = Decode(c.bytes);
    EXPECT_EQ(decoded.code, c.code) << testing::PrintToString(c.bytes);
    EXPECT_EQ(decoded.consumed, c.consumed) << testing::PrintToString(c.bytes);
  }
}

TEST(Utf8Detection, AnswersForWholeTexts) {
  const auto detect = [](const std::string& bytes) {
    return DetectUtf8(bytes.data(), static_cast<int32_t>(bytes.size()));
  };
  EXPECT_TRUE(detect(""));
  EXPECT_TRUE(detect("plain ASCII, long enough for the eight-byte steps"));
  EXPECT_TRUE(detect("caf\xC3\xA9 na\xC3\xAFve \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(detect("caf\xE9 in Latin-1"));
  EXPECT_FALSE(detect("ends in a cut sequence \xE2\x82"));
  EXPECT_FALSE(detect("0123456789abcdef\xFF"));
}

}  // namespace
