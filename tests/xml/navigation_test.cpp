// Finding elements and moving the positions.
#include <gtest/gtest.h>

#include "tests/xml/test_text.h"
#include "xml/xml_document.h"

TEST(Navigation, FindsChildrenByNameInOrder) {
  CXmlDocument document(u"<r><a/><b x=\"1\"/><a/></r>");
  ASSERT_TRUE(document.FindElement(u"r"));
  EXPECT_EQ(document.Current(), 1);
  EXPECT_EQ(document.NodeType(), NODE_START_TAG);
  ASSERT_TRUE(document.FindChildElement(u"a"));
  EXPECT_EQ(document.Child(), 2);
  ASSERT_TRUE(document.FindChildElement(u"a"));
  EXPECT_EQ(document.Child(), 4);
  EXPECT_FALSE(document.FindChildElement(u"a"));
  EXPECT_EQ(document.Child(), 4);
  EXPECT_EQ(document.Current(), 1);
}

TEST(Navigation, AbsoluteAnywhereAndInvalidArgumentsFindNothing) {
  CXmlDocument document(u"<r><b/></r>");
  for (const char16_t* name : {u"/r", u"//r", u"r b", u"r/", u"/", u"//", u"r[", u"r[1]x", u"//r/b"}) {
    EXPECT_FALSE(document.FindElement(name)) << U8(name);
  }
  EXPECT_EQ(document.Current(), 0);
}

TEST(Navigation, OnlyTheLeadingNameOfARelativePathCounts) {
  for (const char16_t* name :
       {u"r", u"r/b", u"r[2]", u"r[@x='1']", u"r[@x=\"]\"]", u"r[@x=1]", u"r[b]", u"r/@x", u"r//b"}) {
    CXmlDocument document(u"<r><b/></r>");
    EXPECT_TRUE(document.FindElement(name)) << U8(name);
  }
  ElementPath path;
  EXPECT_FALSE(CXmlDocument::CheckPath(u"r[@x='1]", path));
  EXPECT_FALSE(CXmlDocument::CheckPath(u"r/@x/b", path));
  EXPECT_FALSE(CXmlDocument::CheckPath(u"r[]", path));
  EXPECT_TRUE(CXmlDocument::CheckPath(u"//r", path));
  EXPECT_EQ(path.kind, ElementPath::ANYWHERE_PATH);
  EXPECT_EQ(path.nameStart, 2);
}

TEST(Navigation, NoNameFindsTheNextElement) {
  CXmlDocument document(u"<r><a/><b/></r>");
  ASSERT_TRUE(document.FindElement());
  ASSERT_TRUE(document.EnterElement());
  EXPECT_EQ(document.Parent(), 1);
  EXPECT_EQ(document.Current(), 0);
  EXPECT_EQ(document.NodeType(), 0);
  ASSERT_TRUE(document.FindElement());
  EXPECT_EQ(document.Current(), 2);
  ASSERT_TRUE(document.FindElement());
  EXPECT_EQ(document.Current(), 3);
  EXPECT_FALSE(document.FindElement());
  EXPECT_EQ(document.Current(), 3);
}

TEST(Navigation, EnterAndLeaveMoveOneLevel) {
  CXmlDocument document(u"<r><a><c/></a></r>");
  EXPECT_FALSE(document.EnterElement());
  EXPECT_FALSE(document.LeaveElement());
  ASSERT_TRUE(document.FindElement(u"r"));
  ASSERT_TRUE(document.FindChildElement(u"a"));
  ASSERT_TRUE(document.EnterElement());
  EXPECT_EQ(document.Parent(), 1);
  EXPECT_EQ(document.Current(), 2);
  EXPECT_EQ(document.Child(), 0);
  ASSERT_TRUE(document.FindChildElement(u"c"));
  EXPECT_EQ(document.Child(), 3);
  ASSERT_TRUE(document.LeaveElement());
  EXPECT_EQ(document.Parent(), 0);
  EXPECT_EQ(document.Current(), 1);
  EXPECT_EQ(document.Child(), 2);
  EXPECT_FALSE(document.LeaveElement());
}

TEST(Navigation, FindChildWithoutCurrentTakesTheNextElementFirst) {
  CXmlDocument document(u"<r><a/></r>");
  ASSERT_TRUE(document.FindChildElement(u"a"));
  EXPECT_EQ(document.Current(), 1);
  EXPECT_EQ(document.Child(), 2);
  CXmlDocument empty;
  EXPECT_FALSE(empty.FindChildElement(u"a"));
}

TEST(Navigation, DamagedDocumentsStayNavigable) {
  CXmlDocument document(u"<config><product>Name</x><links><link>u</link></config>");
  ASSERT_TRUE(document.FindElement(u"config"));
  ASSERT_TRUE(document.FindChildElement(u"product"));
  // The unended product and links give up their children: link is now a child of config.
  ASSERT_TRUE(document.FindChildElement(u"links"));
  ASSERT_TRUE(document.FindChildElement(u"link"));
  EXPECT_EQ(U8(document.GetElementText(document.Child())), "u");
  EXPECT_EQ(U8(document.GetElementText(2)), "");
}
