// The element index: growth by segments, and the records a parse leaves.
#include "xml/element_index.h"

#include <gtest/gtest.h>

#include "tests/xml/index_invariants.h"
#include "xml/xml_document.h"

TEST(ElementIndex, NewDocumentHasEightRecordsAndNoRoot) {
  CXmlDocument document;
  EXPECT_EQ(document.Index().Capacity(), 8);
  EXPECT_EQ(document.Used(), 1);
  const ElementRecord& root = document.GetRecord(0);
  EXPECT_EQ(root.start, 0);
  EXPECT_EQ(root.length, 0);
  EXPECT_EQ(root.tagLengths, 0u);
  EXPECT_EQ(root.levelAndFlags, 0u);
  EXPECT_EQ(root.firstChild, 0);
  EXPECT_EQ(document.Current(), 0);
  EXPECT_EQ(document.Parent(), 0);
  EXPECT_EQ(document.Child(), 0);
}

TEST(ElementIndex, GrowsAtMostOneSegmentPerCall) {
  ElementIndex index;
  index.Grow(200000);
  EXPECT_EQ(index.Capacity(), 131072);
  index.Grow(200000);
  EXPECT_EQ(index.Capacity(), 196608);
  index.Grow(200000);
  EXPECT_EQ(index.Capacity(), 200000);
  index.Release();
  EXPECT_EQ(index.Capacity(), 0);
  EXPECT_EQ(index.SegmentSlots(), 0);
}

TEST(ElementIndex, GrowingCopiesOnlyTheLastSegment) {
  ElementIndex index;
  index.Grow(65536);
  index.Grow(70000);
  for (int32_t i = 0; i < 70000; ++i) index.GetRecord(i).start = i;
  const ElementRecord* first = index.SegmentAddress(0);
  index.Grow(80000);
  EXPECT_EQ(index.SegmentAddress(0), first);
  EXPECT_EQ(index.Capacity(), 80000);
  EXPECT_EQ(index.GetRecord(69999).start, 69999);
  EXPECT_EQ(index.GetRecord(65536).start, 65536);
  EXPECT_EQ(index.GetRecord(12345).start, 12345);
}

TEST(ElementIndex, FillsAPartialSegmentBeforeAddingOne) {
  ElementIndex index;
  index.Grow(100);
  for (int32_t i = 0; i < 100; ++i) index.GetRecord(i).start = i;
  index.Grow(70000);  // the first segment becomes full and keeps its records
  EXPECT_EQ(index.Capacity(), 70000);
  EXPECT_EQ(index.GetRecord(99).start, 99);
  EXPECT_GE(index.SegmentSlots(), 2);
}

TEST(ElementIndex, RecordsAfterParsingNestedElements) {
  CXmlDocument document(u"<a><b/><c/></a>");
  const ElementRecord& root = document.GetRecord(0);
  EXPECT_EQ(root.firstChild, 1);
  EXPECT_EQ(root.length, 15);
  const ElementRecord& a = document.GetRecord(1);
  EXPECT_EQ(a.start, 0);
  EXPECT_EQ(a.length, 15);
  EXPECT_EQ(a.StartTagLength(), 3);
  EXPECT_EQ(a.EndTagLength(), 4);
  EXPECT_EQ(a.Level(), 0);
  EXPECT_TRUE(a.Has(FIRST_CHILD));
  EXPECT_EQ(a.firstChild, 2);
  EXPECT_EQ(a.prevSibling, 1);
  const ElementRecord& b = document.GetRecord(2);
  EXPECT_EQ(b.start, 3);
  EXPECT_EQ(b.length, 4);
  EXPECT_EQ(b.StartTagLength(), 4);
  EXPECT_EQ(b.EndTagLength(), 0);
  EXPECT_EQ(b.Level(), 1);
  EXPECT_TRUE(b.Has(FIRST_CHILD));
  EXPECT_EQ(b.nextSibling, 3);
  EXPECT_EQ(b.prevSibling, 3);
  const ElementRecord& c = document.GetRecord(3);
  EXPECT_EQ(c.start, 7);
  EXPECT_EQ(c.length, 4);
  EXPECT_EQ(c.prevSibling, 2);
  EXPECT_EQ(c.nextSibling, 0);
  EXPECT_FALSE(c.Has(FIRST_CHILD));
  EXPECT_EQ(CheckIndexInvariants(document), "");
}

TEST(ElementIndex, LargeDocumentGrowsPastOneSegment) {
  std::u16string text = u"<r>";
  for (int i = 0; i < 150000; ++i) text += u"<e/>";
  text += u"</r>";
  CXmlDocument document;
  EXPECT_TRUE(document.SetText(text));
  EXPECT_EQ(document.Used(), 150002);
  EXPECT_EQ(document.GetRecord(150001).start, static_cast<int32_t>(text.size()) - 8);
  EXPECT_EQ(CheckIndexInvariants(document), "");
}
