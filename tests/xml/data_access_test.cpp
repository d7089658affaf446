// Element text, attribute values and reference decoding.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/xml/test_text.h"
#include "xml/named_entity_table.h"
#include "xml/xml_document.h"

namespace {

std::u16string Unescape(std::u16string_view text) {
  return CXmlDocument::UnescapeText(text.data(), static_cast<int32_t>(text.size()));
}

std::u16string TextOfRoot(const char16_t* text) {
  CXmlDocument document(text);
  return document.GetElementText(1);
}

std::u16string AttributeOfRoot(const char16_t* text, std::u16string_view name) {
  CXmlDocument document(text);
  document.FindElement();
  return document.GetAttribute(1, name);
}

}  // namespace

TEST(ElementText, DecodesCharacterDataAndSkipsMarkup) {
  EXPECT_EQ(U8(TextOfRoot(u"<a> x &amp; y </a>")), " x & y ");
  EXPECT_EQ(U8(TextOfRoot(u"<a>1<!--c-->2<![CDATA[<3>]]></a>")), "12<3>");
  EXPECT_EQ(U8(TextOfRoot(u"<a>x<?p?> <![CDATA[&amp;]]></x>y</a>")), "x&amp;y");
  EXPECT_EQ(U8(TextOfRoot(u"<a><b/></a>")), "");
  EXPECT_EQ(U8(TextOfRoot(u"<a/>")), "");
  EXPECT_EQ(U8(TextOfRoot(u"<a>t")), "");
  EXPECT_EQ(U8(TextOfRoot(u"<a><![C]]></a>")), "");
  // Markup in the content is cut as the parse cut it: "<?>" is a whole processing instruction
  // there, as its ">" lies far enough into the document.
  EXPECT_EQ(U8(TextOfRoot(u"<a><?>x</a>")), "x");
  CXmlDocument document(u"<a>t</a>");
  EXPECT_EQ(U8(document.GetElementText(0)), "");
  EXPECT_EQ(U8(document.GetElementText(2)), "");
  EXPECT_EQ(U8(document.GetElementText(-1)), "");
}

TEST(Attributes, ValuesQuotedBareOrMissing) {
  EXPECT_EQ(U8(AttributeOfRoot(u"<b x=\"1\"/>", u"x")), "1");
  EXPECT_EQ(U8(AttributeOfRoot(u"<b x=\"1\"/>", u"y")), "");
  EXPECT_EQ(U8(AttributeOfRoot(u"<b  x = '2' >", u"x")), "2");
  EXPECT_EQ(U8(AttributeOfRoot(u"<b x=1/>", u"x")), "1/");
  EXPECT_EQ(U8(AttributeOfRoot(u"<b y='a' x='&lt;&#65;'/>", u"x")), "<A");
  EXPECT_EQ(U8(AttributeOfRoot(u"<input checked>", u"checked")), "checked");
  EXPECT_EQ(U8(AttributeOfRoot(u"<input checked x='1'>", u"checked")), "checked");
  EXPECT_EQ(U8(AttributeOfRoot(u"<b x='1' x='2'/>", u"x")), "1");
  EXPECT_EQ(U8(AttributeOfRoot(u"<b x=\"a>b\"/>", u"x")), "a>b");
  EXPECT_EQ(U8(AttributeOfRoot(u"<b xy='1'/>", u"x")), "");
  EXPECT_EQ(U8(AttributeOfRoot(u"<b x='1'/>", u"")), "");
}

TEST(Attributes, NeverReadBeyondTheStartTag) {
  // The first tag ends at its ">" after "y=": its walk must not borrow the next tag's x.
  EXPECT_EQ(U8(AttributeOfRoot(u"<a y=><c x='1'/></a>", u"x")), "");
  EXPECT_EQ(U8(AttributeOfRoot(u"<a 'q><c x='1'/></a>", u"x")), "");
}

TEST(Attributes, NeedACurrentElement) {
  CXmlDocument document(u"<b x='1'/>");
  EXPECT_EQ(U8(document.GetAttribute(1, u"x")), "");
  document.FindElement();
  EXPECT_EQ(U8(document.GetAttribute(1, u"x")), "1");
  EXPECT_EQ(U8(document.GetAttribute(0, u"x")), "");
  EXPECT_EQ(U8(document.GetAttribute(5, u"x")), "");
}

TEST(FindAttribute, WithoutANameFindsTheFirstAttributeName) {
  const std::u16string text = u"<a  first='1' second='2'>";
  TextCursor cursor(text, 1);
  ASSERT_TRUE(CXmlDocument::FindAttribute(cursor, {}));
  EXPECT_EQ(U8(cursor.Token()), "first");
  TextCursor missing(text, 1);
  EXPECT_FALSE(CXmlDocument::FindAttribute(missing, u"third"));
  EXPECT_EQ(missing.position, static_cast<int32_t>(text.size()) - 1);
}

TEST(UnescapeText, DecodesReferences) {
  EXPECT_EQ(U8(Unescape(u"&lt;&#65;&#x42;&#X43;&AMP;&bogus;&")), "<ABC&&bogus;&");
  EXPECT_EQ(Unescape(u"&#x1F600;"), u"\xD83D\xDE00");
  EXPECT_EQ(U8(Unescape(u"&#0;")), "&#0;");
  EXPECT_EQ(U8(Unescape(u"&abcdefghij;")), "&abcdefghij;");
  EXPECT_EQ(U8(Unescape(u"&;&#;&#x;&#xZ;")), "&;&#;&#x;&#xZ;");
  EXPECT_EQ(U8(Unescape(u"& #65;&# 66;&#+67;&#x0x44;&#65x;")), "& #65;BCDA");
  EXPECT_EQ(Unescape(u"&#-1;"), u"\xDBBF\xDFFF");  // out-of-range values fold into a pair
  EXPECT_EQ(Unescape(u"&#x110000;"), u"\xD800\xDC00");
  EXPECT_EQ(Unescape(u"&apos;&quot;&nbsp;&euro;&hellip;&thetasym;"), u"'\"\u00A0\u20AC\u2026\u03D1");
  EXPECT_EQ(Unescape(u"&eacute;&Eacute;&EACUTE;&darr;&dArr;&Dagger;&dagger;"),
            u"\u00E9\u00C9\u00C9\u2193\u21D3\u2021\u2020");
  EXPECT_EQ(Unescape(u"&amp\u00e9;&l"), u"&amp\u00e9;&l");
  EXPECT_EQ(Unescape(std::u16string_view(u"&lt;", 3)), u"&lt");
  EXPECT_EQ(Unescape(std::u16string(u"a\0&lt;\xD800", 7)), std::u16string(u"a\0<\xD800", 4));
}

TEST(NamedEntityTable, StoredFormOfTheBuckets) {
  int32_t empty = 0, entries = 0;
  size_t largest = 0;
  for (int32_t k = 0; k < kNamedEntityBuckets; ++k) {
    const std::string_view bucket = NamedEntityBucket(k);
    size_t inBucket = 0;
    for (size_t at = 0; at < bucket.size(); ++inBucket) {
      const int32_t length = bucket[at] - '0';
      ASSERT_GE(length, 2);
      ASSERT_LE(length, 8);
      uint32_t sum = 0;
      for (const char c : bucket.substr(at + 5, static_cast<size_t>(length))) sum += static_cast<unsigned char>(c);
      EXPECT_EQ(sum % kNamedEntityBuckets, static_cast<uint32_t>(k));
      at += 5 + static_cast<size_t>(length);
    }
    empty += bucket.empty();
    entries += static_cast<int32_t>(inBucket);
    largest = std::max(largest, inBucket);
  }
  EXPECT_EQ(entries, 253);
  EXPECT_EQ(empty, 37);
  EXPECT_EQ(largest, 6u);
  EXPECT_EQ(NamedEntityBucket((u'l' + u't') % 130), "20060lt");
  EXPECT_EQ(NamedEntityBucket((u'a' + u'm' + u'p') % 130), "30038amp30174reg");
}
