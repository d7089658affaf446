// The element builder: turns scanned start and end tags into the element index. It never stops:
// end tags are matched against the open elements, unmatched ones are recorded and ignored, and
// elements left open are closed as unended with their children moved up to their parent.
#include <algorithm>
#include <cstring>

#include "xml/open_element_stack.h"
#include "xml/result_record.h"
#include "xml/text_search.h"
#include "xml/xml_document.h"

void CXmlDocument::GrowForOneMore() {
  if (m_nUsed == m_index.Capacity()) m_index.Grow(std::max(m_nUsed + m_nUsed / 2, m_nUsed + 1));
}

int32_t CXmlDocument::NewRecord() {
  GrowForOneMore();
  return m_nUsed++;
}

void CXmlDocument::AddParseRecord(std::u16string_view name, std::u16string_view tagName, int32_t offset,
                                  int32_t offset2) {
  AddResultRecord(m_strResult, 0, name, tagName, offset, offset2);
}

namespace {

// Fills `node` with the tag from the cursor's position to its closing ">" at `greater`, whose name
// starts `nameOffset` units in and ends before `nameEnd`, and moves the cursor past it.
void TakeTag(TextCursor& cursor, NodeToken& node, int32_t type, int32_t nameOffset, const char16_t* nameEnd,
             const char16_t* greater) {
  const char16_t* text = cursor.text.data();
  node.type = type;
  node.start = cursor.position;
  node.length = static_cast<int32_t>(greater + 1 - text) - cursor.position;
  node.flags = 0;
  node.messages.clear();
  cursor.tokenStart = cursor.position + nameOffset;
  cursor.tokenEnd = static_cast<int32_t>(nameEnd - text) - 1;
  cursor.position = static_cast<int32_t>(greater + 1 - text);
}

// Most end tags close the innermost open element and spell its name exactly: such a tag is taken
// as the scanner would cut it (up to its first ">", the name up to a tag-name end) without a full
// scan or a search of the open elements. False, with nothing changed, for any other text.
bool ScanEndTagOfInnermost(TextCursor& cursor, const OpenElementStack& open, NodeToken& node) {
  const char16_t* text = cursor.text.data();
  const char16_t* end = text + cursor.Length();
  const char16_t* at = text + cursor.position;
  if (end - at < 3 || at[1] != u'/' || open.Depth() == 0) return false;
  const std::u16string_view name = open.Name(open.Depth());
  if (end - at < static_cast<ptrdiff_t>(name.size()) + 3) return false;
  const char16_t* nameEnd = at + 2 + name.size();
  if (!EndsTagName(*nameEnd) || std::memcmp(at + 2, name.data(), name.size() * sizeof(char16_t)) != 0) {
    return false;
  }
  const char16_t* greater = *nameEnd == u'>' ? nameEnd : FindUnit(nameEnd, end, u'>');
  if (greater == end) return false;
  TakeTag(cursor, node, NODE_END_TAG, 2, nameEnd, greater);
  return true;
}

// A start tag that ends before the text does, taken as the scanner would cut it: the name starts
// with a name-start character and runs to a tag-name end. False, with nothing changed, for other text.
bool ScanStartTag(TextCursor& cursor, NodeToken& node) {
  const char16_t* text = cursor.text.data();
  const char16_t* end = text + cursor.Length();
  const char16_t* at = text + cursor.position;
  if (end - at < 3 || !IsNameStart(at[1])) return false;
  const char16_t* nameEnd = FindTagNameEnd(at + 2, end);
  const char16_t* greater = nameEnd == end || *nameEnd == u'>' ? nameEnd : FindStartTagEnd(nameEnd, end);
  if (greater == end) return false;
  TakeTag(cursor, node, NODE_START_TAG, 1, nameEnd, greater);
  if (ClosesItself(nameEnd, greater)) node.flags = NODE_SELF_CLOSING;
  return true;
}

}  // namespace

// Ends the open element at `depth` with the end tag `node`, after closing those above it as
// unended; returns the element that is innermost open then. Most end tags are met here, so it is
// compiled into the parse loop.
[[gnu::always_inline]] inline int32_t CXmlDocument::CloseElement(OpenElementStack& open, int32_t depth,
                                                                 const NodeToken& node) {
  if (open.Depth() > depth) CloseUnended(open, depth, node.start + 1);
  ElementRecord& record = Record(open.Element(depth));
  record.length = node.End() - record.start;
  record.SetEndTagLength(node.length);
  open.PopTo(depth - 1);
  return open.Element(depth - 1);
}

int32_t CXmlDocument::ParseElements(TextCursor& cursor) {
  OpenElementStack open;
  int32_t parent = 0, first = 0;
  NodeToken node;
  const char16_t* text = cursor.text.data();
  const char16_t* textEnd = text + cursor.Length();
  for (;;) {
    // Character data makes no element and no record: it is passed over without a node.
    cursor.position = static_cast<int32_t>(FindUnit(text + cursor.position, textEnd, u'<') - text);
    if (ScanEndTagOfInnermost(cursor, open, node)) {
      parent = CloseElement(open, open.Depth(), node);
      continue;
    }
    int32_t type = NODE_START_TAG;
    if (!ScanStartTag(cursor, node)) {
      // Once the result text is full, a node's records would be dropped: they are not even written.
      const bool resultFull = m_strResult.size() >= kResultTextLimit;
      type = ScanNode(cursor, node, resultFull ? NodeMessages::Skipped : NodeMessages::Written);
      if (node.HasSyntaxError()) {
        Record(0).Set(ILL_FORMED);
        Record(parent).Set(HAS_ERROR);
        if (!resultFull) m_strResult += node.messages;
      }
    }
    if (type == NODE_START_TAG) {
      const int32_t i = NewRecord();
      if (first == 0) first = i;
      ElementRecord& record = Record(i);
      ElementRecord& parentRecord = Record(parent);
      record.parent = parent;
      record.firstChild = 0;
      record.nextSibling = 0;
      uint32_t flags = 0;
      if (parentRecord.firstChild == 0) {
        parentRecord.firstChild = i;
        record.prevSibling = i;
        flags = FIRST_CHILD;
      } else {
        ElementRecord& firstChild = Record(parentRecord.firstChild);
        Record(firstChild.prevSibling).nextSibling = i;
        record.prevSibling = firstChild.prevSibling;
        firstChild.prevSibling = i;
      }
      record.SetLevelAndFlags(open.Depth(), flags);
      record.start = node.start;
      record.length = node.length;
      record.SetTagLengths(node.length, 0);
      if (!node.SelfClosing()) {
        open.Push(cursor.Token(), i);
        parent = i;
      }
    } else if (type == NODE_END_TAG) {
      const int32_t matchDepth = open.FindMatch(cursor);
      if (matchDepth == 0) {
        Record(0).Set(ILL_FORMED);
        Record(parent).Set(HAS_ERROR);
        AddParseRecord(u"lone_end_tag", cursor.Token(), node.start);
        continue;
      }
      parent = CloseElement(open, matchDepth, node);
    } else if (type == NODE_END_OF_TEXT) {
      CloseUnended(open, 0, cursor.Length());
      return first;
    }
  }
}

// Closes the open elements above `targetDepth` as unended. The records are made innermost first;
// the children are moved outermost first, so that each element moves once however deep the
// unended elements nest, and all of them end up, in text order, in the element that stays open.
void CXmlDocument::CloseUnended(OpenElementStack& open, int32_t targetDepth, int32_t cause) {
  const int32_t depth = open.Depth();
  if (depth <= targetDepth) return;
  Record(0).Set(ILL_FORMED);
  for (int32_t d = depth; d > targetDepth && m_strResult.size() < kResultTextLimit; --d)
    AddParseRecord(u"unended_start_tag", open.Name(d), Record(open.Element(d)).start, cause);
  for (int32_t d = targetDepth + 1; d <= depth; ++d) {
    const int32_t e = open.Element(d);
    ElementRecord& record = Record(e);
    record.Set(UNENDED);
    record.SetEndTagLength(0);
    record.length = StartTagLength(e);
    const int32_t up = record.parent;
    if (record.Has(HAS_ERROR)) {
      record.Clear(HAS_ERROR);
      Record(up).Set(HAS_ERROR);
    }
    const int32_t firstMoved = record.firstChild;
    if (firstMoved == 0) continue;
    ElementRecord& firstRecord = Record(firstMoved);
    const int32_t lastMoved = firstRecord.prevSibling;
    for (int32_t c = firstMoved; c != 0; c = Record(c).nextSibling) Record(c).parent = up;
    firstRecord.Clear(FIRST_CHILD);
    firstRecord.prevSibling = e;
    const int32_t next = record.nextSibling;
    Record(lastMoved).nextSibling = next;
    if (next != 0) {
      Record(next).prevSibling = lastMoved;
    } else {
      Record(Record(up).firstChild).prevSibling = lastMoved;
    }
    record.nextSibling = firstMoved;
    record.firstChild = 0;
  }
  open.PopTo(targetDepth);
}
