// Hostile and extreme texts: every parse ends, and every read stays inside the text.
#include <gtest/gtest.h>

#include "tests/xml/index_invariants.h"
#include "tests/xml/test_text.h"
#include "xml/xml_document.h"

namespace {

// Reads everything there is to read, as the installer and the fuzz target do.
void ReadEverything(CXmlDocument& document) {
  for (int32_t i = 0; i <= document.Used(); ++i) {
    document.GetElementText(i);
    document.GetAttribute(i, u"x");
  }
  while (document.FindChildElement()) {
  }
  while (document.LeaveElement()) {
  }
}

}  // namespace

TEST(Robustness, DeepNestingClosedAndUnended) {
  constexpr int kDepth = 100000;
  std::u16string open, close;
  for (int i = 0; i < kDepth; ++i) open += u"<e>";
  for (int i = 0; i < kDepth; ++i) close += u"</e>";
  CXmlDocument document;
  EXPECT_TRUE(document.SetText(open + close));
  EXPECT_EQ(document.GetRecord(kDepth).Level(), ElementRecord::kMaxLevel);
  EXPECT_FALSE(document.GetRecord(kDepth).Has(UNENDED));
  EXPECT_EQ(CheckIndexInvariants(document), "");

  EXPECT_FALSE(document.SetText(open));  // every element unended: all end up side by side
  EXPECT_EQ(document.GetRecord(1).nextSibling, 2);
  EXPECT_EQ(document.GetRecord(kDepth).parent, 0);
  EXPECT_EQ(CheckIndexInvariants(document), "");

  EXPECT_FALSE(document.SetText(u"<r>" + open + u"</r>"));
  EXPECT_EQ(document.GetRecord(kDepth + 1).parent, 1);
  EXPECT_EQ(CheckIndexInvariants(document), "");
  ReadEverything(document);
}

TEST(Robustness, GiantStartTagKeepsExactRanges) {
  const std::u16string value(5'000'000, u'v');
  const std::u16string text = u"<r><a x='" + value + u"'>t&amp;</a><b/></r>";
  CXmlDocument document;
  EXPECT_TRUE(document.SetText(text));
  EXPECT_TRUE(document.GetRecord(2).StartTagSaturated());
  EXPECT_EQ(document.StartTagLength(2), static_cast<int32_t>(value.size()) + 8);
  ASSERT_TRUE(document.FindElement(u"r"));
  ASSERT_TRUE(document.FindChildElement(u"a"));
  ASSERT_TRUE(document.EnterElement());
  EXPECT_EQ(U8(document.GetElementText(2)), "t&");
  EXPECT_EQ(document.GetAttribute(2, u"x").size(), value.size());
  ASSERT_TRUE(document.LeaveElement());
  ASSERT_TRUE(document.EnterElement());
  ASSERT_TRUE(document.SetAttribute(document.Current(), u"y", u"1"));
  EXPECT_EQ(U8(document.GetAttribute(document.Current(), u"y")), "1");
  EXPECT_EQ(U8(document.GetElementText(2)), "t&");
  EXPECT_EQ(CheckIndexInvariants(document), "");
}

TEST(Robustness, GiantEndTagKeepsExactRanges) {
  const std::u16string text = u"<r><a>t</a" + std::u16string(3000, u' ') + u"><b/></r>";
  CXmlDocument document;
  EXPECT_TRUE(document.SetText(text));
  EXPECT_TRUE(document.GetRecord(2).EndTagSaturated());
  EXPECT_EQ(document.EndTagLength(2), 3004);
  EXPECT_EQ(U8(document.GetElementText(2)), "t");
  ASSERT_TRUE(document.FindElement(u"r"));
  ASSERT_TRUE(document.FindChildElement(u"a"));
  ASSERT_TRUE(document.EnterElement());
  ASSERT_TRUE(document.EnterElement());
  ASSERT_TRUE(document.AppendElement(u"c"));
  EXPECT_EQ(U8(document.Text().substr(0, 12)), "<r><a>t<c/><");
  EXPECT_EQ(CheckIndexInvariants(document), "");
}

TEST(Robustness, OddCharactersAndUnclosedMarkup) {
  const std::u16string texts[] = {
      std::u16string(u"<a>\0<b x='\0'/>\0</a>", 19),
      u"<a>\xD800<b\xDC00 x='\xDFFF'>&#xD800;</b\xDC00></a>",
      u"<a x='",
      u"<a x=\"1",
      u"<!--",
      u"<![CDATA[",
      u"<?x",
      u"<!DOCTYPE [<!ENTITY '",
      u"</",
      u"<a><b x='>'/></a",
      u"<a>&#x;&#99999999;&lt</a>",
      u"<a/><<<<>>>>",
      u"<a b=c/><a x/>",
      u"<a></a></a></a>",
      u"<a><b></c></d></a>",
  };
  for (const std::u16string& text : texts) {
    CXmlDocument document(text);
    EXPECT_EQ(CheckIndexInvariants(document), "") << U8(text);
    ReadEverything(document);
  }
}

TEST(Robustness, ManyLoneEndTagsUnderDeepNesting) {
  std::u16string text;
  for (int i = 0; i < 20000; ++i) text += u"<e>";
  for (int i = 0; i < 20000; ++i) text += u"</x>";
  CXmlDocument document(text);
  EXPECT_EQ(CheckIndexInvariants(document), "");
}
