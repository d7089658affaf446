// An XML document kept as one UTF-16 text plus an index of its elements; navigation moves three
// positions (parent, current element, current child) through the index and reads names,
// attributes and character data straight out of the text. Parsing is forgiving: problems become
// result records in Result(), and whatever was recognised stays navigable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_source.h"
#include "xml/element_index.h"
#include "xml/node_scanner.h"
#include "xml/text_cursor.h"

// The parsed form of a name argument of FindElement and FindChildElement.
struct ElementPath {
  enum Kind : int32_t { INVALID = -1, NO_NAME = 0, RELATIVE_NAME = 1, ABSOLUTE_PATH = 2, ANYWHERE_PATH = 3 };
  int32_t kind = NO_NAME;
  std::u16string_view text;
  int32_t nameStart = 0;  // offset in `text` where the first name begins
};

class OpenElementStack;

class CXmlDocument {
 public:
  CXmlDocument();
  explicit CXmlDocument(std::u16string_view text);
  CXmlDocument(const CXmlDocument&) = delete;
  CXmlDocument& operator=(const CXmlDocument&) = delete;

  // Building. Each returns whether the text is well-formed: no syntax error, a root element and
  // nothing but it at the top level. The index is built in every case.
  bool SetText(std::u16string_view text);
  bool SetText();  // no text: empty, and the index released
  // Reads the file (from disk by its path, or held in memory) in any supported encoding, then parses.
  bool LoadFile(const platform::FileSource& file);
  bool Parse();
  int32_t ParseElements(TextCursor& cursor);

  // Navigation. A failed search or move leaves the positions as they were.
  bool FindElement(std::u16string_view name = {});
  bool FindChildElement(std::u16string_view name = {});
  bool EnterElement();
  bool LeaveElement();
  static bool CheckPath(std::u16string_view name, ElementPath& path);
  int32_t FindNamedSibling(int32_t parent, int32_t after, const ElementPath& path) const;

  // Data access: empty strings for anything missing.
  std::u16string GetElementText(int32_t element) const;
  std::u16string GetAttribute(int32_t element, std::u16string_view name) const;
  // The element's name as its start tag spells it; empty for record 0 and indexes outside the index.
  std::u16string_view GetElementName(int32_t element) const;
  // With the cursor just after a start tag's "<": leaves the named attribute's value (or, with no
  // name, the first attribute's name) as the cursor's token. When nothing is found the position
  // is where a new attribute would go.
  static bool FindAttribute(TextCursor& cursor, std::u16string_view name);
  static std::u16string UnescapeText(const char16_t* chars, int32_t count);

  // Editing in place; the index is corrected without a new parse.
  bool AppendElement(std::u16string_view name);
  bool SetAttribute(int32_t element, std::u16string_view name, std::u16string_view value);
  bool SetAttribute(int32_t element, std::u16string_view name, int32_t value);
  static std::u16string EscapeText(std::u16string_view text);
  void ReplaceText(int32_t offset, int32_t removeCount, std::u16string_view insert);
  void ShiftOffsets(int32_t element, int32_t difference, bool skipChildren);
  void LinkElement(int32_t parent, int32_t after, int32_t element);

  const std::u16string& Text() const { return m_strText; }
  const std::u16string& Result() const { return m_strResult; }
  int32_t Parent() const { return m_nParent; }
  int32_t Current() const { return m_nCurrent; }
  int32_t Child() const { return m_nChild; }
  int32_t Used() const { return m_nUsed; }
  int32_t NodeType() const { return m_nNodeType; }
  uint32_t Flags() const { return m_nFlags; }
  const ElementIndex& Index() const { return m_index; }
  // Valid for 0 <= i < Used().
  const ElementRecord& GetRecord(int32_t i) const { return m_index.GetRecord(i); }
  // The exact tag lengths, also for tags too long for their packed fields.
  int32_t StartTagLength(int32_t element) const;
  int32_t EndTagLength(int32_t element) const;

 private:
  ElementRecord& Record(int32_t i) { return m_index.GetRecord(i); }
  bool IsElement(int32_t i) const { return i > 0 && i < m_nUsed; }
  bool ScansAsOwnTagAtTheEnd(int32_t lastTopLevel, std::u16string_view tag) const;
  void GrowForOneMore();
  int32_t NewRecord();
  int32_t CloseElement(OpenElementStack& open, int32_t depth, const NodeToken& node);
  void CloseUnended(OpenElementStack& open, int32_t targetDepth, int32_t cause);
  void AddParseRecord(std::u16string_view name, std::u16string_view tagName, int32_t offset,
                      int32_t offset2 = -1);

  std::u16string m_strText;
  std::u16string m_strResult;
  int32_t m_nParent = 0;
  int32_t m_nCurrent = 0;
  int32_t m_nChild = 0;
  int32_t m_nUsed = 0;
  int32_t m_nNodeType = 0;
  uint32_t m_nFlags = 0;
  ElementIndex m_index;
};
