// The encoding-name table: lookups, the special names and limits, and the stored form.
#include "xml/encoding_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {


TEST(EncodingTable, FindsNamesWithoutRegardToLetterCase) {
  const struct {
    std::u16string name;
    int32_t codePage;
  } cases[] = {
      {u"UTF-8", 65001},         {u"utf-8", 65001},      {u"Utf8", 65001},         {u"UTF-16", 1200},
      {u"UTF-16LE", 1200},       {u"unicode", 1200},     {u"UTF-16BE", 1201},      {u"ISO-8859-1", 28591},
      {u"latin1", 28591},        {u"cp819", 28591},      {u"Windows-1252", 1252},  {u"US-ASCII", 20127},
      {u"Shift_JIS", 932},       {u"EUC-KR", 51949},     {u"GB2312", 936},         {u"shifft_jis-ms", 932},
      {u"cp1256 ", 1256},        {u"cp1256", 1256},      {u"_iso-2022-jp", 50221}, {u"_ISO-2022-JP$SIO", 50222},
      {u"visual", 28598},        {u"logical", 38598},    {u"unicodeFFFE", 1201},   {u"iso-4873:1986", 54936},
      {u"iso_646.irv:1991", 20127},
      {u"extended_unix_code_packed_format_for_japanese", 20932},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodingCodePage(c.name), c.codePage) << std::string(c.name.begin(), c.name.end());
}

TEST(EncodingTable, SpecialNamesAndLimits) {
  EXPECT_EQ(EncodingCodePage(u""), 0);
  EXPECT_EQ(EncodingCodePage(u"UTF-32"), CODEPAGE_UTF32);
  EXPECT_EQ(EncodingCodePage(u"UTF-32LE"), 65005);
  EXPECT_EQ(EncodingCodePage(u"UTF-32BE"), 65005);
  EXPECT_EQ(EncodingCodePage(u"UTF-32whatever"), 65005);
  EXPECT_EQ(EncodingCodePage(u"utf-32"), 12000);
  EXPECT_EQ(EncodingCodePage(u"Utf-32"), 12000);
  EXPECT_EQ(EncodingCodePage(u"utf-32be"), 12001);
  EXPECT_EQ(EncodingCodePage(u"cp1256  "), -1);
  EXPECT_EQ(EncodingCodePage(u"klingon"), -1);
  EXPECT_EQ(EncodingCodePage(u"\u00C9"), -1);
  // A name that only sums to a full bucket must not match one of its entries.
  EXPECT_EQ(EncodingCodePage(u"ksc_5610"), -1);

  EXPECT_EQ(EncodingCodePage(std::u16string(99, u'a')), -1);
  EXPECT_EQ(EncodingCodePage(std::u16string(100, u'a')), -1);
}

}  // namespace
