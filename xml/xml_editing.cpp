// Editing in place: appending empty elements and setting attributes. Each edit splices the text
// and corrects the records it moved, so the index stays valid without a new parse.
#include <algorithm>
#include <initializer_list>
#include <string>

#include "xml/attribute_walk.h"
#include "xml/xml_document.h"

namespace {

// A name that scans back as one tag or attribute name, so an edit never changes the structure.
bool IsInsertableElementName(std::u16string_view name) {
  if (name.empty()) return false;
  const char16_t first = name[0];
  if (!((first >= u'A' && first <= u'Z') || first == u'_' || first == u':' || first > 0x60)) return false;
  return name.find_first_of(u" \t\n\r/>") == std::u16string_view::npos;
}

bool IsInsertableAttributeName(std::u16string_view name) {
  return !name.empty() && name.find_first_of(u"= \t\n\r>/?\"'<") == std::u16string_view::npos;
}

std::u16string Joined(std::initializer_list<std::u16string_view> parts) {
  std::u16string joined;
  for (const std::u16string_view part : parts) joined += part;
  return joined;
}

// How the scanner sees a start tag: its length (-1 when it is no start tag), its name and its
// empty-element form.
struct TagShape {
  int32_t length;
  bool selfClosing;
  std::u16string name;
};

TagShape ScanTagShape(std::u16string_view text, int32_t start) {
  TextCursor cursor(text, start);
  NodeToken node;
  const int32_t type = ScanNode(cursor, node, NodeMessages::Skipped);
  return {type == NODE_START_TAG ? node.length : -1, node.SelfClosing(), std::u16string(cursor.Token())};
}

// Characters `from` to `to` of a start tag replaced by `insert`.
struct TagSplice {
  int32_t from = 0;
  int32_t to = 0;
  std::u16string insert;
};

// Whether the tag from `start` to `tagEnd` still scans as the same element after the splice: one
// start tag of its new length, with its name and its empty-element form.
bool KeepsTagShape(const std::u16string& text, int32_t start, int32_t tagEnd, const TagShape& shape,
                   const TagSplice& splice) {
  std::u16string tag = text.substr(start, splice.from - start);
  tag += splice.insert;
  tag.append(text, splice.to, tagEnd - splice.to);
  const TagShape edited = ScanTagShape(tag, 0);
  return edited.length == static_cast<int32_t>(tag.size()) && edited.selfClosing == shape.selfClosing &&
         edited.name == shape.name;
}

}  // namespace

std::u16string CXmlDocument::EscapeText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 10 + 7);
  for (const char16_t c : text) {
    std::u16string_view reference;
    switch (c) {
      case u'<':
        reference = u"&lt;";
        break;
      case u'&':
        reference = u"&amp;";
        break;
      case u'>':
        reference = u"&gt;";
        break;
      case u'\'':
        reference = u"&apos;";
        break;
      case u'"':
        reference = u"&quot;";
        break;
      default:
        out += c;
        continue;
    }
    if (out.capacity() - out.size() < 6) out.reserve(out.capacity() * 4);
    out += reference;
  }
  return out;
}

void CXmlDocument::ReplaceText(int32_t offset, int32_t removeCount, std::u16string_view insert) {
  const size_t size = m_strText.size();
  const size_t at = std::min(static_cast<size_t>(std::max(offset, 0)), size);
  const size_t removed = std::min(static_cast<size_t>(std::max(removeCount, 0)), size - at);
  const size_t newLength = size - removed + insert.size();
  // Grown by half again, so that a run of small edits copies the text only now and then.
  if (newLength > m_strText.capacity()) m_strText.reserve(newLength + newLength / 2 + 128);
  m_strText.replace(at, removed, insert);
}

void CXmlDocument::ShiftOffsets(int32_t element, int32_t difference, bool skipChildren) {
  if (element <= 0 || element >= m_nUsed) return;
  int32_t ancestor = Record(element).parent;
  // The next element in text order that is not below `c`, or the tracked ancestor when the climb
  // reaches it first.
  auto moveOn = [&](int32_t c) {
    for (;;) {
      if (Record(c).nextSibling != 0) return Record(c).nextSibling;
      c = Record(c).parent;
      if (c == ancestor) return c;
    }
  };
  bool firstStep = true;
  for (int32_t c = element;;) {
    int32_t next;
    if (c == ancestor) {
      ancestor = Record(c).parent;
      next = moveOn(c);
    } else if ((firstStep && skipChildren) || Record(c).firstChild == 0) {
      next = moveOn(c);
    } else {
      next = Record(c).firstChild;
    }
    firstStep = false;
    if (next == ancestor) {
      Record(next).length += difference;
    } else {
      Record(next).start += difference;
    }
    if (next == 0) return;
    c = next;
  }
}

void CXmlDocument::LinkElement(int32_t parent, int32_t after, int32_t element) {
  if (!IsElement(element) || parent < 0 || parent >= m_nUsed || after < 0 || after >= m_nUsed) return;
  ElementRecord& record = Record(element);
  ElementRecord& parentRecord = Record(parent);
  record.parent = parent;
  uint32_t flags = 0;
  if (after == 0) {
    flags = FIRST_CHILD;
    const int32_t oldFirst = parentRecord.firstChild;
    if (oldFirst == 0) {
      record.nextSibling = 0;
      record.prevSibling = element;
    } else {
      ElementRecord& oldFirstRecord = Record(oldFirst);
      record.nextSibling = oldFirst;
      record.prevSibling = oldFirstRecord.prevSibling;
      oldFirstRecord.prevSibling = element;
      oldFirstRecord.Clear(FIRST_CHILD);
    }
    parentRecord.firstChild = element;
  } else {
    ElementRecord& afterRecord = Record(after);
    record.nextSibling = afterRecord.nextSibling;
    const int32_t following = record.nextSibling != 0 ? record.nextSibling : parentRecord.firstChild;
    Record(following).prevSibling = element;
    afterRecord.nextSibling = element;
    record.prevSibling = after;
  }
  record.SetLevelAndFlags(parent != 0 ? parentRecord.Level() + 1 : 0, flags);
}

// Whether `tag`, appended to the text, scans as a start tag of its own. Markup that the end of the
// text cut off (an open comment, say) would take it in; only the nodes after the last top-level
// element can be such markup, so only they are scanned again.
bool CXmlDocument::ScansAsOwnTagAtTheEnd(int32_t lastTopLevel, std::u16string_view tag) const {
  const ElementRecord* last = lastTopLevel != 0 ? &GetRecord(lastTopLevel) : nullptr;
  std::u16string tail = m_strText.substr(last ? static_cast<size_t>(last->start + last->length) : 0);
  const auto at = static_cast<int32_t>(tail.size());
  tail += tag;
  TextCursor cursor(tail, 0);
  NodeToken node;
  while (ScanNode(cursor, node, NodeMessages::Skipped) != NODE_END_OF_TEXT && node.start < at) {
  }
  return node.start == at && node.type == NODE_START_TAG && node.End() == static_cast<int32_t>(tail.size());
}

bool CXmlDocument::AppendElement(std::u16string_view name) {
  if (!IsInsertableElementName(name)) return false;
  int32_t at, after;
  if (m_nCurrent != 0) {
    const ElementRecord& current = Record(m_nCurrent);
    at = current.start + current.length;
    after = m_nCurrent;
  } else if (m_nParent == 0) {
    at = static_cast<int32_t>(m_strText.size());
    after = Record(0).firstChild != 0 ? Record(Record(0).firstChild).prevSibling : 0;
  } else {
    // A parent written as "<p/>" or without an end tag has no content to insert into.
    const ElementRecord& parent = Record(m_nParent);
    if (parent.length <= StartTagLength(m_nParent)) return false;
    at = parent.start + parent.length - EndTagLength(m_nParent);
    after = parent.firstChild != 0 ? Record(parent.firstChild).prevSibling : 0;
  }
  const std::u16string text = Joined({u"<", name, u"/>"});
  if (m_nCurrent == 0 && m_nParent == 0 && !ScansAsOwnTagAtTheEnd(after, text)) return false;
  const int32_t length = static_cast<int32_t>(text.size());
  const int32_t n = NewRecord();
  ElementRecord& record = Record(n);
  record.start = at;
  record.length = length;
  record.SetTagLengths(length, 0);
  record.firstChild = 0;
  ReplaceText(at, 0, text);
  LinkElement(m_nParent, after, n);
  ShiftOffsets(n, length, false);
  m_nCurrent = n;
  m_nChild = 0;
  m_nNodeType = NODE_START_TAG;
  return true;
}

bool CXmlDocument::SetAttribute(int32_t element, std::u16string_view name, std::u16string_view value) {
  if (!IsElement(element) || m_nNodeType != NODE_START_TAG || !IsInsertableAttributeName(name)) return false;
  const std::u16string escaped = EscapeText(value);
  const int32_t start = Record(element).start;
  const int32_t startTag = StartTagLength(element);
  const int32_t tagEnd = std::min(start + startTag, static_cast<int32_t>(m_strText.size()));
  if (start + 1 >= tagEnd) return false;
  TextCursor cursor(std::u16string_view(m_strText).substr(0, tagEnd), start + 1);
  const AttributeMatch match = WalkStartTag(cursor, name);
  const TagShape shape = ScanTagShape(m_strText, start);
  // Nothing is ever written over the tag's own closing ">" or "/>".
  const int32_t limit = tagEnd - (shape.selfClosing ? 2 : 1);
  TagSplice splice;
  if (match == AttributeMatch::Value) {
    const bool quoted = (cursor.flags & CURSOR_QUOTED) != 0;
    splice.from = quoted ? cursor.tokenStart - 1 : cursor.tokenStart;
    splice.to = quoted ? cursor.position : cursor.tokenEnd + 1;
    splice.insert = Joined({u"\"", escaped, u"\""});
  } else if (match == AttributeMatch::NameOnly) {
    // The attribute was written without a value: its name stays and the value follows it.
    splice.from = splice.to = cursor.tokenEnd + 1;
    splice.insert = Joined({u"=\"", escaped, u"\""});
  } else {
    splice.from = splice.to = cursor.position;
    splice.insert = Joined({u" ", name, u"=\"", escaped, u"\""});
  }
  splice.from = std::min(splice.from, limit);
  splice.to = std::clamp(splice.to, splice.from, limit);
  if (!KeepsTagShape(m_strText, start, tagEnd, shape, splice)) {
    // In a malformed tag the walk may stop early (at a "/" or "?" of the name, say); a new
    // attribute then goes just before the closing ">" or "/>", where it cannot change the tag.
    if (match != AttributeMatch::None) return false;
    splice.from = splice.to = limit;
    if (!KeepsTagShape(m_strText, start, tagEnd, shape, splice)) return false;
  }
  ReplaceText(splice.from, splice.to - splice.from, splice.insert);
  const int32_t difference = static_cast<int32_t>(splice.insert.size()) - (splice.to - splice.from);
  ElementRecord& record = Record(element);
  record.SetStartTagLength(startTag + difference);
  record.length += difference;
  ShiftOffsets(element, difference, false);
  return true;
}

bool CXmlDocument::SetAttribute(int32_t element, std::u16string_view name, int32_t value) {
  const std::string digits = std::to_string(value);
  return SetAttribute(element, name, std::u16string(digits.begin(), digits.end()));
}
