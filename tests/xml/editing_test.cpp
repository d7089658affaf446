// Appending elements, setting attributes, and the result records built with them.
#include <gtest/gtest.h>

#include "tests/xml/index_invariants.h"
#include "tests/xml/test_text.h"
#include "xml/result_record.h"
#include "xml/xml_document.h"

TEST(AppendElement, AfterTheRootAtTheTopLevel) {
  CXmlDocument document(u"<a/>");
  ASSERT_TRUE(document.AppendElement(u"b"));
  EXPECT_EQ(U8(document.Text()), "<a/><b/>");
  const int32_t b = document.Current();
  EXPECT_EQ(document.GetRecord(1).nextSibling, b);
  EXPECT_EQ(document.GetRecord(b).Level(), 0);
  EXPECT_EQ(document.GetRecord(b).start, 4);
  EXPECT_EQ(document.GetRecord(0).length, 8);
  EXPECT_EQ(CheckIndexInvariants(document), "");
}

TEST(AppendElement, AfterTheCurrentElement) {
  CXmlDocument document(u"<r><x/></r><z/>");
  ASSERT_TRUE(document.FindElement(u"r"));
  ASSERT_TRUE(document.EnterElement());
  ASSERT_TRUE(document.FindElement(u"x"));
  ASSERT_TRUE(document.AppendElement(u"y"));
  EXPECT_EQ(U8(document.Text()), "<r><x/><y/></r><z/>");
  EXPECT_EQ(document.GetRecord(1).length, 15);
  EXPECT_EQ(document.GetRecord(3).start, 15);
  EXPECT_EQ(document.GetRecord(2).nextSibling, document.Current());
  EXPECT_EQ(document.GetRecord(document.Current()).Level(), 1);
  EXPECT_EQ(CheckIndexInvariants(document), "");
  ASSERT_TRUE(document.LeaveElement());
  ASSERT_TRUE(document.EnterElement());  // into r, with y as the current element
  EXPECT_EQ(document.Current(), 4);
}

TEST(AppendElement, AtTheEndOfTheParentsContent) {
  CXmlDocument document(u"<r><x/></r>");
  ASSERT_TRUE(document.FindElement(u"r"));
  ASSERT_TRUE(document.EnterElement());
  ASSERT_TRUE(document.AppendElement(u"y"));
  ASSERT_TRUE(document.AppendElement(u"w"));
  EXPECT_EQ(U8(document.Text()), "<r><x/><y/><w/></r>");
  EXPECT_EQ(CheckIndexInvariants(document), "");
  CXmlDocument empty(u"<r></r>");
  ASSERT_TRUE(empty.FindElement(u"r"));
  ASSERT_TRUE(empty.EnterElement());
  ASSERT_TRUE(empty.AppendElement(u"y"));
  EXPECT_EQ(U8(empty.Text()), "<r><y/></r>");
  EXPECT_TRUE(empty.GetRecord(2).Has(FIRST_CHILD));
  EXPECT_EQ(CheckIndexInvariants(empty), "");
  CXmlDocument reparsed(empty.Text());
  EXPECT_EQ(reparsed.GetRecord(2).start, empty.GetRecord(2).start);
}

TEST(AppendElement, RefusesWhatWouldChangeTheStructure) {
  CXmlDocument document(u"<r/>");
  ASSERT_TRUE(document.FindElement(u"r"));
  ASSERT_TRUE(document.EnterElement());
  EXPECT_FALSE(document.AppendElement(u"y"));  // "<r/>" has no content
  CXmlDocument other(u"<r></r>");
  for (const char16_t* name : {u"", u"1a", u"a b", u"a/", u"a>"}) EXPECT_FALSE(other.AppendElement(name));
  EXPECT_EQ(U8(other.Text()), "<r></r>");
}

TEST(AppendElement, RefusesTheEndOfATextThatEndsInsideMarkup) {
  // Appended there, the element would become part of the open markup and a new parse would not
  // see it.
  for (const char16_t* text : {u"<r/><!-- open", u"<r/><a", u"<r/><", u"<r/><?p", u"<!-- open"}) {
    SCOPED_TRACE(U8(text));
    CXmlDocument document(text);
    EXPECT_FALSE(document.AppendElement(u"b"));
    EXPECT_EQ(U8(document.Text()), U8(text));
  }
  for (const char16_t* text : {u"<r/><!-- closed -->", u"<r/>tail", u"<r/><!x"}) {
    SCOPED_TRACE(U8(text));
    CXmlDocument document(text);
    ASSERT_TRUE(document.AppendElement(u"b"));
    CXmlDocument reparsed(document.Text());
    EXPECT_EQ(reparsed.Used(), document.Used());
  }
}

TEST(SetAttribute, ReplacesQuotedAndBareValues) {
  for (const char16_t* text : {u"<a v=1>t</a><z/>", u"<a v='1'>t</a><z/>", u"<a v=\"1\">t</a><z/>"}) {
    CXmlDocument document(text);
    ASSERT_TRUE(document.FindElement(u"a"));
    const ElementRecord before = document.GetRecord(1);
    const int32_t zStart = document.GetRecord(2).start;
    ASSERT_TRUE(document.SetAttribute(1, u"v", u"2"));
    EXPECT_EQ(U8(document.Text()), "<a v=\"2\">t</a><z/>");
    const int32_t d = document.GetRecord(1).length - before.length;
    EXPECT_EQ(document.GetRecord(1).StartTagLength() - before.StartTagLength(), d);
    EXPECT_EQ(document.GetRecord(1).start, before.start);
    EXPECT_EQ(document.GetRecord(2).start, zStart + d);
    EXPECT_EQ(CheckIndexInvariants(document), "");
  }
}

TEST(SetAttribute, AddsAfterTheLastAttribute) {
  CXmlDocument document(u"<r><a x='1' /><b/></r>");
  ASSERT_TRUE(document.FindElement(u"r"));
  ASSERT_TRUE(document.FindChildElement(u"a"));
  ASSERT_TRUE(document.EnterElement());
  ASSERT_TRUE(document.SetAttribute(document.Parent(), u"n", -1));
  ASSERT_TRUE(document.SetAttribute(document.Parent(), u"s", u"<\"&'>"));
  EXPECT_EQ(U8(document.Text()), "<r n=\"-1\" s=\"&lt;&quot;&amp;&apos;&gt;\"><a x='1' /><b/></r>");
  EXPECT_EQ(CheckIndexInvariants(document), "");
  EXPECT_EQ(document.Current(), 2);
  ASSERT_TRUE(document.SetAttribute(document.Current(), u"y", u"2"));
  EXPECT_EQ(U8(document.Text()), "<r n=\"-1\" s=\"&lt;&quot;&amp;&apos;&gt;\"><a x='1' y=\"2\" /><b/></r>");
  EXPECT_EQ(U8(document.GetAttribute(document.Current(), u"y")), "2");
  EXPECT_EQ(CheckIndexInvariants(document), "");
}

TEST(SetAttribute, KeepsTheNameOfAnAttributeWithoutValue) {
  for (const auto& [text, edited] : {std::pair{u"<input checked></input>", "<input checked=\"yes\"></input>"},
                                     std::pair{u"<input checked />", "<input checked=\"yes\" />"}}) {
    CXmlDocument document(text);
    ASSERT_TRUE(document.FindElement());
    ASSERT_TRUE(document.SetAttribute(1, u"checked", u"yes"));
    EXPECT_EQ(U8(document.Text()), edited);
    EXPECT_EQ(U8(document.GetAttribute(1, u"checked")), "yes");
    EXPECT_EQ(CheckIndexInvariants(document), "");
  }
}

TEST(SetAttribute, NeedsACurrentElementAndAPlainName) {
  CXmlDocument document(u"<a/>");
  EXPECT_FALSE(document.SetAttribute(1, u"x", u"1"));
  ASSERT_TRUE(document.FindElement());
  EXPECT_FALSE(document.SetAttribute(0, u"x", u"1"));
  EXPECT_FALSE(document.SetAttribute(1, u"x>", u"1"));
  EXPECT_FALSE(document.SetAttribute(1, u"", u"1"));
  EXPECT_EQ(U8(document.Text()), "<a/>");
}

TEST(EscapeText, ReplacesTheFiveMarkupCharacters) {
  EXPECT_EQ(U8(CXmlDocument::EscapeText(u"a<b&c>d'e\"f")), "a&lt;b&amp;c&gt;d&apos;e&quot;f");
  EXPECT_EQ(U8(CXmlDocument::EscapeText(std::u16string(100, u'&'))).size(), 500u);
}

TEST(ResultRecords, AppendedAndUpdatedInPlace) {
  std::u16string result;
  AddResultRecord(result, 0, u"read");
  EXPECT_EQ(U8(result), "<read/>");
  AddResultRecord(result, RESULT_UPDATE | RESULT_ENCODING, u"read", u"UTF-8");
  EXPECT_EQ(U8(result), "<read encoding=\"UTF-8\"/>");
  AddResultRecord(result, RESULT_UPDATE | RESULT_COUNT, u"read", std::nullopt, 5);
  EXPECT_EQ(U8(result), "<read encoding=\"UTF-8\" count=\"5\"/>");
  AddResultRecord(result, RESULT_UPDATE | RESULT_ENCODING, u"read", u"a<b");
  EXPECT_EQ(U8(result), "<read encoding=\"a&lt;b\" count=\"5\"/>");
  AddResultRecord(result, RESULT_UPDATE, u"missing", u"x", 1);
  EXPECT_EQ(U8(result), "<read encoding=\"a&lt;b\" count=\"5\"/>");
}

TEST(ResultRecords, AttributeNamesFollowTheFlags) {
  std::u16string result;
  AddResultRecord(result, RESULT_MSG | RESULT_N, u"file_error", u"Not found", 2);
  AddResultRecord(result, RESULT_ENCODING | RESULT_LENGTH, u"read", u"", -1);
  AddResultRecord(result, RESULT_TYPE, u"t", u"x", -1, 7);
  AddResultRecord(result, 0, u"lone_end_tag", u"b", 3);
  EXPECT_EQ(U8(result),
            "<file_error msg=\"Not found\" n=\"2\"/><read encoding=\"\" length=\"-1\"/><t type=\"x\" "
            "offset2=\"7\"/>"
            "<lone_end_tag tagname=\"b\" offset=\"3\"/>");
}

TEST(ResultRecords, NothingIsAddedPastTheLimit) {
  std::u16string result(kResultTextLimit - 1, u' ');
  result = u"<x/>" + result.substr(4);
  AddResultRecord(result, 0, u"a");
  EXPECT_EQ(result.size(), kResultTextLimit + 3);
  AddResultRecord(result, 0, u"b");
  EXPECT_EQ(result.size(), kResultTextLimit + 3);
}

TEST(SetAttribute, NeverChangesHowTheTagScans) {
  struct Case {
    const char16_t* text;
    const char* edited;
  } cases[] = {
      {u"<a x/>t</a>", "<a x/ n=\"v\">t</a>"},    // before the "/" it would make "<a .../>" empty
      {u"<a?b>t</a?b>", "<a?b n=\"v\">t</a?b>"},  // the walk stops at "?", inside the scanned name
      {u"<a/>", "<a n=\"v\"/>"},
  };
  for (const Case& c : cases) {
    CXmlDocument document(c.text);
    ASSERT_TRUE(document.FindElement());
    ASSERT_TRUE(document.SetAttribute(1, u"n", u"v"));
    EXPECT_EQ(U8(document.Text()), c.edited);
    EXPECT_EQ(CheckIndexInvariants(document), "");
    CXmlDocument reparsed(document.Text());
    EXPECT_EQ(reparsed.Used(), document.Used());
    EXPECT_EQ(reparsed.GetRecord(1).length, document.GetRecord(1).length);
  }
}
