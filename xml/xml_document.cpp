// Construction, the entry points of parsing, and the exact tag lengths.
#include "xml/xml_document.h"

#include "xml/result_record.h"

CXmlDocument::CXmlDocument() { SetText(); }

CXmlDocument::CXmlDocument(std::u16string_view text) { SetText(text); }

bool CXmlDocument::SetText(std::u16string_view text) {
  m_strText.assign(text);
  m_strResult.clear();
  return Parse();
}

bool CXmlDocument::SetText() {
  m_strText.clear();
  m_index.Release();
  m_strResult.clear();
  return Parse();
}

bool CXmlDocument::Parse() {
  m_nParent = m_nCurrent = m_nChild = m_nNodeType = 0;
  m_nUsed = 1;
  const int32_t length = static_cast<int32_t>(m_strText.size());
  // About one element in 50 characters in real documents; records past the estimate cost a copy,
  // records short of it only address space, as untouched memory is not committed.
  const int32_t estimate = length / 32 + 8;
  if (m_index.Capacity() < estimate) m_index.Grow(estimate);
  Record(0) = ElementRecord{};
  if (length > 0) {
    TextCursor cursor(m_strText, 0);
    const int32_t root = ParseElements(cursor);
    Record(0).length = length;
    if (root == 0) {
      AddResultRecord(m_strResult, 0, u"no_root_element");
    } else {
      Record(0).firstChild = root;
      if (Record(root).nextSibling != 0) AddResultRecord(m_strResult, 0, u"root_has_sibling");
    }
  }
  m_nParent = m_nCurrent = m_nChild = m_nNodeType = 0;
  const ElementRecord& document = Record(0);
  return !document.Has(ILL_FORMED) && document.firstChild != 0 &&
         Record(document.firstChild).nextSibling == 0;
}

int32_t CXmlDocument::StartTagLength(int32_t element) const {
  const ElementRecord& record = GetRecord(element);
  if (!record.StartTagSaturated()) return record.StartTagLength();
  TextCursor cursor(m_strText, record.start);
  NodeToken tag;
  ScanNode(cursor, tag, NodeMessages::Skipped);
  return tag.length;
}

int32_t CXmlDocument::EndTagLength(int32_t element) const {
  const ElementRecord& record = GetRecord(element);
  if (!record.EndTagSaturated()) return record.EndTagLength();
  // Content and end tag are scanned node by node, as the parse met them; the last node is the tag.
  const int32_t end = record.start + record.length;
  TextCursor cursor(m_strText, record.start + StartTagLength(element));
  NodeToken node;
  while (ScanNode(cursor, node, NodeMessages::Skipped) != NODE_END_OF_TEXT && node.End() < end) {
  }
  return node.type == NODE_END_TAG && node.End() == end ? node.length : record.EndTagLength();
}
