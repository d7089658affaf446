// Places in a document's text for people: line and column of an offset, and the element's name.
#include "xml/text_position.h"

#include <gtest/gtest.h>

#include "xml/xml_document.h"

namespace {

TEST(TextPosition, LinesEndAtCrLfLfOrALoneCr) {
  const std::u16string_view text = u"ab\r\ncd\nef\rgh";
  const struct {
    int32_t offset, line, column;
  } cases[] = {{0, 1, 1}, {2, 1, 3},  {4, 2, 1},  {5, 2, 2},
               {7, 3, 1}, {10, 4, 1}, {11, 4, 2}, {99, 4, 3},  // past the end: the end
               {-1, 1, 1}};
  for (const auto& c : cases) {
    const TextPosition at = PositionOf(text, c.offset);
    EXPECT_EQ(at.line, c.line) << c.offset;
    EXPECT_EQ(at.column, c.column) << c.offset;
  }
}

TEST(TextPosition, ElementNamesAsTheirTagsSpellThem) {
  CXmlDocument document(u"<root>\n  <installerInfo default=\"YES\"><os/></installerInfo>\n</root>");
  ASSERT_TRUE(document.FindElement(u"root"));
  EXPECT_EQ(document.GetElementName(document.Current()), u"root");
  ASSERT_TRUE(document.FindChildElement());
  const int32_t entry = document.Child();
  EXPECT_EQ(document.GetElementName(entry), u"installerInfo");
  EXPECT_EQ(document.GetElementName(document.GetRecord(entry).firstChild), u"os");
  const TextPosition at = PositionOf(document.Text(), document.GetRecord(entry).start);
  EXPECT_EQ(at.line, 2);
  EXPECT_EQ(at.column, 3);
  EXPECT_EQ(document.GetElementName(0), u"");
  EXPECT_EQ(document.GetElementName(document.Used()), u"");
}

}  // namespace
