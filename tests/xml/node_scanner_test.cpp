// The node scanner: node kinds, their extent, names and the syntax records.
#include "xml/node_scanner.h"

#include <gtest/gtest.h>

#include "tests/xml/test_text.h"
#include "xml/text_search.h"
#include "xml/xml_document.h"

namespace {

struct ScanCase {
  const char16_t* text;
  int32_t type;
  int32_t length;
  bool selfClosing;
  const char16_t* messages;
};

class ScanFirstNode : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanFirstNode, KindExtentAndRecords) {
  const ScanCase& c = GetParam();
  TextCursor cursor(c.text, 0);
  NodeToken node;
  EXPECT_EQ(ScanNode(cursor, node), c.type) << U8(c.text);
  EXPECT_EQ(node.type, c.type);
  EXPECT_EQ(node.start, 0);
  EXPECT_EQ(node.length, c.length) << U8(c.text);
  EXPECT_EQ(cursor.position, c.length);
  EXPECT_EQ(node.SelfClosing(), c.selfClosing) << U8(c.text);
  EXPECT_EQ(U8(node.messages), U8(c.messages)) << U8(c.text);
}

void PrintTo(const ScanCase& c, std::ostream* out) { *out << U8(c.text); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanFirstNode,
    testing::Values(
        ScanCase{u"", NODE_END_OF_TEXT, 0, false, u""}, ScanCase{u"<a>", NODE_START_TAG, 3, false, u""},
        ScanCase{u"<a/>x", NODE_START_TAG, 4, true, u""},
        ScanCase{u"<a x=\"1>2\"/>", NODE_START_TAG, 12, true, u""},
        ScanCase{u"<a x='1'/>", NODE_START_TAG, 10, true, u""},
        ScanCase{u"<a b=c/>", NODE_START_TAG, 8, false, u""},
        ScanCase{u"<a x/>", NODE_START_TAG, 6, false, u""}, ScanCase{u"<a\n/>", NODE_START_TAG, 5, true, u""},
        ScanCase{u"<a \"x>\"y>", NODE_START_TAG, 6, false, u""},  // a quote not after "=" opens nothing
        ScanCase{u"<a <b>", NODE_START_TAG, 6, false, u""}, ScanCase{u"</a >x", NODE_END_TAG, 5, false, u""},
        ScanCase{u"</a x=\">\">", NODE_END_TAG, 8, false, u""},
        ScanCase{u"abc > d<e>", NODE_TEXT, 7, false, u""},
        ScanCase{u" \r\n\t<a>", NODE_WHITESPACE, 4, false, u""},
        ScanCase{u"  x <a>", NODE_TEXT, 4, false, u""}, ScanCase{u"   ", NODE_WHITESPACE, 3, false, u""},
        ScanCase{u"<![CDATA[<a>]]>x", NODE_CDATA_SECTION, 15, false, u""},
        ScanCase{u"<![CDATA[a]>]]>", NODE_CDATA_SECTION, 15, false, u""},
        ScanCase{u"<?xml version=\"1.0\"?><r/>", NODE_PROCESSING_INSTRUCTION, 21, false, u""},
        ScanCase{u"<!-- a > b -- -->x", NODE_COMMENT, 17, false, u""},
        ScanCase{u"<!DOCTYPE r [<!ENTITY e \"x>y\">]><r/>", NODE_DOCUMENT_TYPE, 32, false, u""},
        ScanCase{u"<!DOCTYPE r [<!-- > --><?p > ?>]>", NODE_DOCUMENT_TYPE, 33, false, u""},
        ScanCase{u"<!DOCTYPE r>", NODE_DOCUMENT_TYPE, 12, false, u""},
        ScanCase{u"<1a>", NODE_ERROR, 4, false, u"<first_tag_syntax offset=\"0\"/>"},
        ScanCase{u"<>x>", NODE_ERROR, 4, false, u"<first_tag_syntax offset=\"0\"/>"},
        ScanCase{u"< a<b>", NODE_ERROR, 3, false, u"<first_tag_syntax offset=\"0\"/>"},
        ScanCase{u"<!x y='>'>", NODE_ERROR, 10, false, u"<exclamation_tag_syntax offset=\"0\"/>"},
        ScanCase{u"<!x=\">\">", NODE_ERROR, 8, false, u"<exclamation_tag_syntax offset=\"0\"/>"},
        ScanCase{u"<!-x>", NODE_ERROR, 5, false, u"<comment_tag_syntax offset=\"0\"/>"},
        ScanCase{u"<![x>", NODE_ERROR, 5, false, u"<cdata_section_syntax offset=\"0\"/>"},
        ScanCase{u"<!DOCTYPE r [<!x>]>", NODE_DOCUMENT_TYPE, 19, false,
                 u"<doctype_tag_syntax offset=\"0\"/>"},
        ScanCase{u"<a", NODE_ERROR, 2, false, u"<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/>"},
        ScanCase{u"<a x=\"1>", NODE_ERROR, 8, false,
                 u"<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/>"},
        ScanCase{u"</a", NODE_ERROR, 3, false, u"<unterminated_tag_syntax type=\"end_tag\" offset=\"0\"/>"},
        ScanCase{u"<!-- x", NODE_ERROR, 6, false,
                 u"<unterminated_tag_syntax type=\"comment\" offset=\"0\"/>"},
        ScanCase{u"<!-->", NODE_COMMENT, 5, false, u""},
        ScanCase{u"<![CDATA[x", NODE_ERROR, 10, false,
                 u"<unterminated_tag_syntax type=\"cdata_section\" offset=\"0\"/>"},
        ScanCase{u"<?p x", NODE_ERROR, 5, false,
                 u"<unterminated_tag_syntax type=\"processing_instruction\" offset=\"0\"/>"},
        ScanCase{u"<?>", NODE_ERROR, 3, false,
                 u"<unterminated_tag_syntax type=\"processing_instruction\" offset=\"0\"/>"},
        ScanCase{u"<!DOCTYPE r [<!ENTITY e 'x", NODE_ERROR, 26, false,
                 u"<unterminated_tag_syntax type=\"document_type\" offset=\"0\"/>"},
        ScanCase{u"<", NODE_ERROR, 1, false, u"<unterminated_tag_syntax type=\"tag\" offset=\"0\"/>"},
        ScanCase{u"<!", NODE_ERROR, 2, false, u"<unterminated_tag_syntax type=\"tag\" offset=\"0\"/>"},
        ScanCase{u"<#", NODE_ERROR, 2, false,
                 u"<first_tag_syntax offset=\"0\"/><unterminated_tag_syntax type=\"tag\" offset=\"0\"/>"}));

// The end of a start tag's body by its rule, one step after another: the next ">" or "=" outside
// a value; after an "=" that does not follow another, white space, and a quote there opens a value
// that runs to the same quote.
const char16_t* StartTagEndByTheRule(const char16_t* body, const char16_t* end) {
  const char16_t* p = body;
  for (;;) {
    while (p < end && *p != u'>' && *p != u'=') ++p;
    if (p == end || *p == u'>') return p;
    const bool awaitingValue = p == body || p[-1] != u'=';
    ++p;
    if (!awaitingValue) continue;
    while (p < end && IsXmlWhitespace(*p)) ++p;
    if (p == end || (*p != u'"' && *p != u'\'')) continue;
    const char16_t quote = *p++;
    while (p < end && *p != quote) ++p;
    if (p == end) return end;
    ++p;
  }
}

}  // namespace

TEST(NodeScanner, NamesAreTheTokensOfTagsAndInstructions) {
  const std::u16string text = u"<abc x='1'></abc><?xml v?></>";
  TextCursor cursor(text, 0);
  NodeToken node;
  const char16_t* names[] = {u"abc", u"abc", u"xml", u""};
  for (const char16_t* name : names) {
    ScanNode(cursor, node);
    EXPECT_EQ(U8(cursor.Token()), U8(name));
  }
  EXPECT_EQ(ScanNode(cursor, node), NODE_END_OF_TEXT);
}

TEST(NodeScanner, TagNamesEndOnlyAtBlankSlashOrGreaterThan) {
  // A name long enough to be searched eight units at a time, with control characters in it.
  const std::u16string name = u"abcdefgh\x01ijklmnop\x1Fq";
  for (const char16_t end : std::u16string_view(u" \t\n\r/>")) {
    const std::u16string text = u"<" + name + end + u">";
    TextCursor cursor(text, 0);
    NodeToken node;
    EXPECT_EQ(ScanNode(cursor, node), NODE_START_TAG);
    EXPECT_EQ(U8(cursor.Token()), U8(name));
    CXmlDocument document(text);
    ASSERT_EQ(document.Used(), 2);
    EXPECT_EQ(U8(document.GetElementName(1)), U8(name));
  }
}

// Start tags are read eight units at a time; random bodies of every length made of the units that
// matter must end where the rule says.
TEST(NodeScanner, StartTagsEndWhereTheRuleSays) {
  const std::u16string_view units = u"a =\"'>\t/";
  uint32_t state = 7;
  for (int round = 0; round < 20000; ++round) {
    std::u16string body;
    state = state * 1103515245u + 12345u;
    const uint32_t length = (state >> 16) % 40;
    for (uint32_t i = 0; i < length; ++i) {
      state = state * 1103515245u + 12345u;
      body += units[(state >> 16) % units.size()];
    }
    const char16_t* end = body.data() + body.size();
    ASSERT_EQ(FindStartTagEnd(body.data(), end), StartTagEndByTheRule(body.data(), end)) << U8(body);
  }
}

TEST(NodeScanner, EachNodeStartsWhereTheLastEnded) {
  const std::u16string text = u"<r> t <!--c--><x/>&amp;</r>";
  TextCursor cursor(text, 0);
  NodeToken node;
  std::vector<int32_t> types;
  int32_t end = 0;
  while (ScanNode(cursor, node) != NODE_END_OF_TEXT) {
    EXPECT_EQ(node.start, end);
    end = node.End();
    types.push_back(node.type);
  }
  EXPECT_EQ(end, static_cast<int32_t>(text.size()));
  EXPECT_EQ(types, (std::vector<int32_t>{NODE_START_TAG, NODE_TEXT, NODE_COMMENT, NODE_START_TAG, NODE_TEXT,
                                         NODE_END_TAG}));
}

TEST(MatchName, ComparesTheTokenWithTheLeadingNameOfTheArgument) {
  const std::u16string text = u"<ab>";
  TextCursor cursor(text, 0);
  ReadNameToken(cursor, 1);
  EXPECT_TRUE(MatchName(cursor, u"ab"));
  EXPECT_TRUE(MatchName(cursor, u"ab/c"));
  EXPECT_TRUE(MatchName(cursor, u"ab[2]"));
  EXPECT_TRUE(MatchName(cursor, u"ab=x"));
  EXPECT_FALSE(MatchName(cursor, u"abc"));
  EXPECT_FALSE(MatchName(cursor, u"a"));
  EXPECT_FALSE(MatchName(cursor, u"AB"));
  cursor.flags = CURSOR_CASE_BLIND;
  EXPECT_TRUE(MatchName(cursor, u"AB"));
  EXPECT_TRUE(MatchName(cursor, u"aB"));
}

TEST(MatchName, CaseBlindComparisonTurnsExactAfterANonAsciiCharacter) {
  const std::u16string text = u"<\u00e9a\u00e9>";
  TextCursor cursor(text, 0, CURSOR_CASE_BLIND);
  ReadNameToken(cursor, 1);
  EXPECT_TRUE(MatchName(cursor, u"\u00e9a\u00e9"));
  EXPECT_FALSE(MatchName(cursor, u"\u00e9A\u00e9"));
  const std::u16string ascii = u"<ab\u00e9>";
  TextCursor first(ascii, 0, CURSOR_CASE_BLIND);
  ReadNameToken(first, 1);
  EXPECT_TRUE(MatchName(first, u"AB\u00e9"));
}
