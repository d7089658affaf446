// Finding elements by name and moving the three positions (parent, current, child) through the
// element index.
#include "xml/xml_document.h"

namespace {

bool IsPathNameChar(char16_t c) { return c != u' ' && c != u'=' && c != u'/' && c != u'[' && c != u']'; }

// Syntax of a name argument, read left to right; every Parse... advances `at` past what it accepts.
class PathSyntax {
 public:
  explicit PathSyntax(std::u16string_view text) : m_text(text) {}

  // One or more steps after the leading slashes; an anywhere path has exactly one.
  bool Accept(size_t at, bool anywhere) {
    m_at = at;
    for (;;) {
      const size_t stepStart = m_at;
      SkipNameChars();
      if (Peek() == u'[' && !ParsePredicate()) return false;
      if (AtEnd()) return m_at > stepStart;
      if (Peek() != u'/' || anywhere) return false;
      ++m_at;
      if (Peek() == u'@') {
        ++m_at;
        return SkipNameChars() > 0 && AtEnd();
      }
    }
  }

 private:
  bool AtEnd() const { return m_at >= m_text.size(); }
  char16_t Peek() const { return AtEnd() ? u'\0' : m_text[m_at]; }
  size_t SkipNameChars() {
    const size_t from = m_at;
    while (!AtEnd() && IsPathNameChar(m_text[m_at])) ++m_at;
    return m_at - from;
  }

  // "[n]", "[child]", "[@attribute]" or "[@attribute=value]" with the value quoted or bare.
  bool ParsePredicate() {
    ++m_at;
    if (Peek() == u'@') {
      ++m_at;
      if (SkipNameChars() == 0) return false;
      if (Peek() == u'=') {
        ++m_at;
        const char16_t quote = Peek();
        if (quote == u'"' || quote == u'\'') {
          const size_t close = m_text.find(quote, m_at + 1);
          if (close == std::u16string_view::npos) return false;
          m_at = close + 1;
        } else {
          while (!AtEnd() && m_text[m_at] != u']') ++m_at;
        }
      }
    } else if (SkipNameChars() == 0) {
      return false;
    }
    if (Peek() != u']') return false;
    ++m_at;
    return true;
  }

  std::u16string_view m_text;
  size_t m_at = 0;
};

}  // namespace

bool CXmlDocument::CheckPath(std::u16string_view name, ElementPath& path) {
  path.text = name;
  path.nameStart = 0;
  if (name.empty()) {
    path.kind = ElementPath::NO_NAME;
    return true;
  }
  if (name.starts_with(u"//")) {
    path.kind = ElementPath::ANYWHERE_PATH;
    path.nameStart = 2;
  } else if (name.starts_with(u"/")) {
    path.kind = ElementPath::ABSOLUTE_PATH;
    path.nameStart = 1;
  } else {
    path.kind = ElementPath::RELATIVE_NAME;
  }
  if (!PathSyntax(name).Accept(path.nameStart, path.kind == ElementPath::ANYWHERE_PATH)) {
    path.kind = ElementPath::INVALID;
  }
  return path.kind != ElementPath::INVALID;
}

int32_t CXmlDocument::FindNamedSibling(int32_t parent, int32_t after, const ElementPath& path) const {
  if (path.kind != ElementPath::NO_NAME && path.kind != ElementPath::RELATIVE_NAME) return 0;
  if (parent < 0 || parent >= m_nUsed || after < 0 || after >= m_nUsed) return 0;
  int32_t candidate = after != 0 ? GetRecord(after).nextSibling : GetRecord(parent).firstChild;
  if (path.kind == ElementPath::NO_NAME) return candidate;
  const std::u16string_view name = path.text.substr(static_cast<size_t>(path.nameStart));
  TextCursor cursor(m_strText, 0);
  for (; candidate != 0; candidate = GetRecord(candidate).nextSibling) {
    ReadNameToken(cursor, GetRecord(candidate).start + 1);
    if (MatchName(cursor, name)) return candidate;
  }
  return 0;
}

bool CXmlDocument::FindElement(std::u16string_view name) {
  ElementPath path;
  CheckPath(name, path);
  const int32_t found = FindNamedSibling(m_nParent, m_nCurrent, path);
  if (found == 0) return false;
  m_nCurrent = found;
  m_nParent = GetRecord(found).parent;
  m_nChild = 0;
  m_nNodeType = NODE_START_TAG;
  return true;
}

bool CXmlDocument::FindChildElement(std::u16string_view name) {
  if (m_nCurrent == 0) FindElement();
  ElementPath path;
  CheckPath(name, path);
  const int32_t found = FindNamedSibling(m_nCurrent, m_nChild, path);
  if (found == 0) return false;
  const int32_t current = GetRecord(found).parent;
  m_nChild = found;
  m_nCurrent = current;
  m_nParent = GetRecord(current).parent;
  m_nNodeType = current != 0 ? NODE_START_TAG : 0;
  return true;
}

bool CXmlDocument::EnterElement() {
  if (m_nCurrent == 0 || m_nNodeType != NODE_START_TAG) return false;
  m_nParent = m_nCurrent;
  m_nCurrent = m_nChild;
  m_nChild = 0;
  m_nNodeType = m_nCurrent != 0 ? NODE_START_TAG : 0;
  return true;
}

bool CXmlDocument::LeaveElement() {
  if (m_nParent == 0) return false;
  m_nChild = m_nCurrent;
  m_nCurrent = m_nParent;
  m_nParent = GetRecord(m_nParent).parent;
  m_nNodeType = NODE_START_TAG;
  return true;
}
