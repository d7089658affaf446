// Conversion of a file's bytes to UTF-16 by encoding name.
#include "xml/text_converter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::u16string ConvertAll(std::u16string_view encoding, const std::string& bytes) {
  TextConverter converter(encoding, bytes.data(), static_cast<int32_t>(bytes.size()));
  const int32_t units = converter.Convert(nullptr, u"UTF-16");
  EXPECT_EQ(converter.ResultCount(), units);
  std::u16string text(static_cast<size_t>(units), u'\0');
  converter.SetResultCount(units);
  text.resize(static_cast<size_t>(converter.Convert(text.data())));
  EXPECT_EQ(static_cast<int32_t>(text.size()), units);
  return text;
}

std::string Utf32(const std::vector<uint32_t>& values) {
  std::string bytes(values.size() * 4, '\0');
  std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}

TEST(TextConverter, ConvertsByEncodingName) {
  EXPECT_EQ(ConvertAll(u"UTF-8", "caf\xC3\xA9"), u"caf\u00E9");
  EXPECT_EQ(ConvertAll(u"iso-8859-1", "caf\xE9"), u"caf\u00E9");
  EXPECT_EQ(ConvertAll(u"Shift_JIS", "\x93\xfa\x96\x7b"), u"\u65E5\u672C");
  EXPECT_EQ(ConvertAll(u"KOI8-R", "\xF0\xD2\xC9"), u"\u041F\u0440\u0438");
  // An unknown name and no name both mean the ANSI code page.
  EXPECT_EQ(ConvertAll(u"klingon", "caf\xE9"), ConvertAll(u"", "caf\xE9"));
}

TEST(TextConverter, Utf16AsTheSourceOfBytesGivesNothing) {
  EXPECT_EQ(ConvertAll(u"UTF-16", std::string("<\0r\0", 4)), u"");
  EXPECT_EQ(ConvertAll(u"unicodeFFFE", std::string("\0<\0r", 4)), u"");
}

TEST(TextConverter, Utf32InMachineOrder) {
  EXPECT_EQ(ConvertAll(u"UTF-32", Utf32({'a', 0xE9, 0x1F600})), u"a\u00E9\U0001F600");
  // Values beyond U+10FFFF fold into a pair too; a last partial unit is not read.
  EXPECT_EQ(ConvertAll(u"UTF-32LE", Utf32({0x110000}) + "xy"),
            std::u16string({char16_t(0xD800), char16_t(0xDC00)}));
  EXPECT_EQ(ConvertAll(u"UTF-32", "abc"), u"");
}

TEST(TextConverter, WritesNoMoreThanTheCapacity) {
  const std::string bytes = Utf32({'a', 0x1F600, 'b'});
  TextConverter converter(u"UTF-32", bytes.data(), static_cast<int32_t>(bytes.size()));
  char16_t text[4] = {u'-', u'-', u'-', u'-'};
  converter.SetResultCount(2);
  EXPECT_EQ(converter.Convert(text, u"UTF-16"), 1);  // the pair does not fit
  EXPECT_EQ(std::u16string(text, 4), u"a---");
}

}  // namespace
