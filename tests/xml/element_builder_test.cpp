// The element builder: well-formedness, result records, and the index of damaged documents.
#include <gtest/gtest.h>

#include "tests/xml/index_invariants.h"
#include "tests/xml/test_text.h"
#include "xml/node_scanner.h"
#include "xml/result_record.h"
#include "xml/xml_document.h"

namespace {

struct BuildCase {
  const char16_t* text;
  bool wellFormed;
  const char16_t* result;
};

class BuildDocument : public testing::TestWithParam<BuildCase> {};

TEST_P(BuildDocument, ResultAndRecords) {
  const BuildCase& c = GetParam();
  CXmlDocument document;
  EXPECT_EQ(document.SetText(c.text), c.wellFormed) << U8(c.text);
  EXPECT_EQ(U8(document.Result()), U8(c.result)) << U8(c.text);
  EXPECT_EQ(CheckIndexInvariants(document), "") << U8(c.text);
}

void PrintTo(const BuildCase& c, std::ostream* out) { *out << U8(c.text); }

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildDocument,
    testing::Values(
        BuildCase{u"", false, u""}, BuildCase{u"  ", false, u"<no_root_element/>"},
        BuildCase{u"<?xml version=\"1.0\"?>\n<!-- c --><r a=\"1\"><x/>t</r>\n", true, u""},
        BuildCase{u"<a/><b/>", false, u"<root_has_sibling/>"},
        BuildCase{u"<a><b></a>", false, u"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"7\"/>"},
        BuildCase{u"<a></b></a>", false, u"<lone_end_tag tagname=\"b\" offset=\"3\"/>"},
        BuildCase{u"<a", false,
                  u"<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/><no_root_element/>"},
        BuildCase{u"<a><!x><!y></a>", false,
                  u"<exclamation_tag_syntax offset=\"3\"/><exclamation_tag_syntax offset=\"7\"/>"},
        BuildCase{u"<a><b><c>", false,
                  u"<unended_start_tag tagname=\"c\" offset=\"6\" offset2=\"9\"/>"
                  u"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"9\"/>"
                  u"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"9\"/><root_has_sibling/>"},
        BuildCase{u"<a x='&quot;'></a >", true, u""}, BuildCase{u"<a></a x=\"<\">", true, u""},
        BuildCase{u"<!DOCTYPE r [<!ENTITY e \"x>y\">]><r/>", true, u""},
        BuildCase{u"<!DOCTYPE r [<!x>]><r/>", false, u"<doctype_tag_syntax offset=\"0\"/>"},
        BuildCase{u"<r/>x</y>", false, u"<lone_end_tag tagname=\"y\" offset=\"5\"/>"},
        BuildCase{u"<a>\"</b>&</a>", false, u"<lone_end_tag tagname=\"b\" offset=\"4\"/>"}));

}  // namespace

TEST(ElementBuilder, UnendedElementsKeepTheirStartTags) {
  CXmlDocument document(u"<a><b></a>");
  const ElementRecord& a = document.GetRecord(1);
  const ElementRecord& b = document.GetRecord(2);
  EXPECT_EQ(a.length, 10);
  EXPECT_TRUE(b.Has(UNENDED));
  EXPECT_EQ(b.length, 3);
  EXPECT_EQ(b.EndTagLength(), 0);
}

TEST(ElementBuilder, ChildrenOfAnUnendedElementMoveUpInOrder) {
  CXmlDocument document(u"<a><b><c/><d/></a>");
  // a's children are now b, c, d; c no longer a first child, b names d as the last.
  const ElementRecord& a = document.GetRecord(1);
  EXPECT_EQ(a.firstChild, 2);
  EXPECT_EQ(document.GetRecord(2).nextSibling, 3);
  EXPECT_EQ(document.GetRecord(3).nextSibling, 4);
  EXPECT_EQ(document.GetRecord(2).prevSibling, 4);
  EXPECT_FALSE(document.GetRecord(3).Has(FIRST_CHILD));
  EXPECT_EQ(document.GetRecord(3).parent, 1);
  EXPECT_EQ(document.GetRecord(2).firstChild, 0);
  EXPECT_EQ(CheckIndexInvariants(document), "");
}

TEST(ElementBuilder, ErrorFlagsReachTheElementThatStaysOpen) {
  CXmlDocument document(u"<a><b><c></x></a>");
  EXPECT_TRUE(document.GetRecord(0).Has(ILL_FORMED));
  EXPECT_TRUE(document.GetRecord(1).Has(HAS_ERROR));
  EXPECT_FALSE(document.GetRecord(3).Has(HAS_ERROR));
  EXPECT_FALSE(document.GetRecord(2).Has(HAS_ERROR));
  EXPECT_EQ(CheckIndexInvariants(document), "");
}

TEST(ElementBuilder, ResultTextStopsGrowingNearItsLimit) {
  std::u16string text = u"<r>";
  for (int i = 0; i < 2000; ++i) text += u"</x><!y>";
  text += u"<p><!z></p></r>";
  CXmlDocument document;
  EXPECT_FALSE(document.SetText(text));
  EXPECT_GE(document.Result().size(), kResultTextLimit);
  EXPECT_LT(document.Result().size(), kResultTextLimit + 100);
  // Errors past the limit make no record but still mark where they were.
  const int32_t p = document.Used() - 1;
  EXPECT_TRUE(document.GetRecord(p).Has(HAS_ERROR));
  EXPECT_TRUE(document.GetRecord(0).Has(ILL_FORMED));
}

TEST(ElementBuilder, ReparsingReplacesTheIndex) {
  CXmlDocument document(u"<a><b/><c/></a>");
  EXPECT_TRUE(document.SetText(u"<z/>"));
  EXPECT_EQ(document.Used(), 2);
  EXPECT_TRUE(document.FindElement(u"z"));
  EXPECT_FALSE(document.SetText());
  EXPECT_EQ(document.Index().Capacity(), 8);
  EXPECT_FALSE(document.FindElement());
}

// A U+0000 right before "/>" stands where nothing does: the tag closes itself, in the scanner and
// in the builder's quick path alike, and the next element is its sibling.
TEST(ElementBuilder, AZeroUnitBeforeTheSlashClosesTheTag) {
  for (std::u16string_view text : {std::u16string_view(u"<r><a \0/><c/></r>", 17),
                                   std::u16string_view(u"<r><a x='1' \0/><c/></r>", 23)}) {
    CXmlDocument document;
    EXPECT_TRUE(document.SetText(text)) << U8(document.Result());
    ASSERT_TRUE(document.FindElement(u"r"));
    ASSERT_TRUE(document.EnterElement());
    EXPECT_TRUE(document.FindElement(u"a"));
    EXPECT_TRUE(document.FindElement(u"c")) << "c follows a as its sibling";

    TextCursor cursor(text.substr(3), 0);
    NodeToken node;
    EXPECT_EQ(ScanNode(cursor, node), NODE_START_TAG);
    EXPECT_TRUE(node.SelfClosing());
  }
}
