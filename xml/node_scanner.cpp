// The node scanner. Every character is looked at once; markup is recognised from its first
// characters and runs to its terminator, so character data between tags is skipped in one search.
#include "xml/node_scanner.h"

#include "xml/result_record.h"
#include "xml/text_search.h"

namespace {

// How a piece of markup ended.
enum class MarkupEnd { Terminated, BeforeLessThan, EndOfText };

class NodeScanner {
 public:
  NodeScanner(TextCursor& cursor, NodeToken& node, NodeMessages messages)
      : m_cursor(cursor),
        m_node(node),
        m_writeMessages(messages == NodeMessages::Written),
        m_text(cursor.text.data()),
        m_length(cursor.Length()),
        m_pos(cursor.position) {}

  int32_t Run() {
    m_node.start = m_pos;
    m_node.flags = 0;
    m_node.messages.clear();
    if (m_pos >= m_length) {
      m_node.type = NODE_END_OF_TEXT;
    } else if (m_text[m_pos] == u'<') {
      m_node.type = NODE_ERROR;
      ++m_pos;
      ScanAfterLessThan(false);
    } else {
      ScanCharacterData();
    }
    m_node.length = m_pos - m_node.start;
    m_cursor.position = m_pos;
    return m_node.type;
  }

 private:
  void ScanCharacterData() {
    m_node.type = NODE_WHITESPACE;
    while (m_pos < m_length && IsXmlWhitespace(m_text[m_pos])) ++m_pos;
    if (m_pos < m_length && m_text[m_pos] != u'<') {
      m_node.type = NODE_TEXT;
      m_pos = Find(u'<', m_pos);
    }
  }

  int32_t Find(char16_t c, int32_t from) const {
    return static_cast<int32_t>(FindUnit(m_text + from, m_text + m_length, c) - m_text);
  }
  int32_t FindEither(char16_t a, char16_t b, int32_t from) const {
    return static_cast<int32_t>(::FindEither(m_text + from, m_text + m_length, a, b) - m_text);
  }

  // m_pos is just after a "<".
  MarkupEnd ScanAfterLessThan(bool inDoctype) {
    if (m_pos >= m_length) return Unterminated(inDoctype);
    const char16_t c = m_text[m_pos];
    if (IsNameStart(c)) {
      m_node.type = NODE_START_TAG;
      ScanName();
      return ScanStartTagBody();
    }
    if (c == u'/') {
      m_node.type = NODE_END_TAG;
      ++m_pos;
      ScanName();
      return ScanPast(u'>', inDoctype);
    }
    if (c == u'?') {
      m_node.type = NODE_PROCESSING_INSTRUCTION;
      ++m_pos;
      ScanName();
      return ScanToTerminator(u"?>", inDoctype);
    }
    if (c == u'!') {
      ++m_pos;
      return ScanAfterExclamation(inDoctype);
    }
    return SyntaxError(u"first_tag_syntax", inDoctype);
  }

  // m_pos is just after "<!".
  MarkupEnd ScanAfterExclamation(bool inDoctype) {
    if (m_pos >= m_length) return Unterminated(inDoctype);
    const char16_t c = m_text[m_pos];
    if (c == u'-') {
      if (++m_pos >= m_length) return Unterminated(inDoctype);
      if (m_text[m_pos] != u'-') return SyntaxError(u"comment_tag_syntax", inDoctype);
      m_node.type = NODE_COMMENT;
      ++m_pos;
      return ScanToTerminator(u"-->", inDoctype);
    }
    if (inDoctype) {
      if (c != u'E' && c != u'A' && c != u'N') return SyntaxError(u"doctype_tag_syntax", inDoctype);
      m_node.type = NODE_DOCUMENT_TYPE;
      ++m_pos;
      return ScanNestedDeclaration();
    }
    if (c == u'[') {
      if (++m_pos >= m_length) return Unterminated(inDoctype);
      if (m_text[m_pos] != u'C') return SyntaxError(u"cdata_section_syntax", inDoctype);
      m_node.type = NODE_CDATA_SECTION;
      ++m_pos;
      return ScanToTerminator(u"]]>", inDoctype);
    }
    if (c == u'D') {
      ++m_pos;
      return ScanDoctype();
    }
    return SyntaxError(u"exclamation_tag_syntax", inDoctype);
  }

  // Between the nested declarations of a document type declaration; quotes are not tracked here.
  MarkupEnd ScanDoctype() {
    m_inDoctype = true;
    while (m_pos < m_length) {
      const char16_t c = m_text[m_pos++];
      if (c == u'>') {
        m_node.type = NODE_DOCUMENT_TYPE;
        m_node.flags &= NODE_SYNTAX_ERROR;
        return MarkupEnd::Terminated;
      }
      if (c == u'<') {
        const MarkupEnd end = ScanAfterLessThan(true);
        if (end != MarkupEnd::Terminated) return end;
      }
    }
    return Unterminated(true);
  }

  // The name of a start tag, end tag or processing instruction becomes the cursor's token.
  void ScanName() {
    const int32_t nameStart = m_pos;
    m_pos = static_cast<int32_t>(FindTagNameEnd(m_text + m_pos, m_text + m_length) - m_text);
    m_cursor.tokenStart = nameStart;
    m_cursor.tokenEnd = m_pos - 1;
    m_bodyStart = m_pos;
  }

  MarkupEnd ScanPast(char16_t terminator, bool inDoctype) {
    const int32_t at = Find(terminator, m_pos);
    if (at >= m_length) {
      m_pos = m_length;
      return Unterminated(inDoctype);
    }
    m_pos = at + 1;
    return MarkupEnd::Terminated;
  }

  // Runs to a ">" preceded by the terminator's leading characters.
  MarkupEnd ScanToTerminator(std::u16string_view terminator, bool inDoctype) {
    const int32_t lead = static_cast<int32_t>(terminator.size()) - 1;
    for (;;) {
      const int32_t at = Find(u'>', m_pos);
      if (at >= m_length) {
        m_pos = m_length;
        return Unterminated(inDoctype);
      }
      m_pos = at + 1;
      if (at > lead + 1 && m_cursor.text.substr(at - lead, lead) == terminator.substr(0, lead)) {
        return MarkupEnd::Terminated;
      }
    }
  }

  // A character after the tag name that was itself scanned inside the tag, or 0 for none.
  char16_t Remembered(int32_t at) const { return at >= m_bodyStart ? m_text[at] : u'\0'; }

  MarkupEnd ScanStartTagBody() {
    const char16_t* body = m_text + m_pos;
    const char16_t* greater = FindStartTagEnd(body, m_text + m_length);
    if (greater == m_text + m_length) return Unterminated(false);
    if (ClosesItself(body, greater)) m_node.flags |= NODE_SELF_CLOSING;
    m_pos = static_cast<int32_t>(greater + 1 - m_text);
    return MarkupEnd::Terminated;
  }

  // m_pos is on the opening quote; leaves it past the closing one. False at the end of the text,
  // or (when `stopAtLessThan`) with m_pos on a "<" inside the value.
  bool SkipQuotedValue(char16_t quote, bool stopAtLessThan) {
    m_pos = stopAtLessThan ? FindEither(quote, u'<', m_pos + 1) : Find(quote, m_pos + 1);
    if (m_pos >= m_length || m_text[m_pos] != quote) return false;
    ++m_pos;
    return true;
  }

  // The rest of a malformed piece of markup: up to the next ">" outside a quoted value
  // (inclusive) or before the next "<".
  MarkupEnd ScanErrorBody(bool inDoctype) {
    m_bodyStart = m_pos;
    bool awaitingValue = false;
    while (m_pos < m_length) {
      const char16_t c = m_text[m_pos];
      if (c == u'<') return MarkupEnd::BeforeLessThan;
      if (c == u'>') {
        ++m_pos;
        return MarkupEnd::Terminated;
      }
      if (c == u'=') {
        awaitingValue = Remembered(m_pos - 1) != u'=';
        ++m_pos;
      } else if ((c == u'"' || c == u'\'') && awaitingValue) {
        awaitingValue = false;
        if (!SkipQuotedValue(c, true)) {
          if (m_pos < m_length) return MarkupEnd::BeforeLessThan;
          return Unterminated(inDoctype);
        }
      } else {
        awaitingValue = awaitingValue && IsXmlWhitespace(c);
        ++m_pos;
      }
    }
    return Unterminated(inDoctype);
  }

  // An element, attribute-list, entity or notation declaration inside a document type
  // declaration: quotes of either kind enclose text that may hold ">".
  MarkupEnd ScanNestedDeclaration() {
    while (m_pos < m_length) {
      const char16_t c = m_text[m_pos];
      if (c == u'>') {
        ++m_pos;
        return MarkupEnd::Terminated;
      }
      if ((c == u'"' || c == u'\'') && !SkipQuotedValue(c, false)) return Unterminated(true);
      if (c != u'"' && c != u'\'') ++m_pos;
    }
    return Unterminated(true);
  }

  // "<" (or "<!" ...) followed by a character that begins no markup; that character is passed over.
  MarkupEnd SyntaxError(std::u16string_view record, bool inDoctype) {
    m_node.flags |= NODE_SYNTAX_ERROR;
    if (m_writeMessages) AddResultRecord(m_node.messages, 0, record, std::nullopt, m_node.start);
    m_node.type = NODE_ERROR;
    ++m_pos;
    return ScanErrorBody(inDoctype);
  }

  MarkupEnd Unterminated(bool inDoctype) {
    m_pos = m_length;
    m_node.flags |= NODE_SYNTAX_ERROR;
    if (m_writeMessages) {
      AddResultRecord(m_node.messages, RESULT_TYPE, u"unterminated_tag_syntax", MarkupKind(inDoctype),
                      m_node.start);
    }
    m_node.type = NODE_ERROR;
    return MarkupEnd::EndOfText;
  }

  std::u16string_view MarkupKind(bool inDoctype) const {
    if (inDoctype || m_inDoctype) return u"document_type";
    switch (m_node.type) {
      case NODE_DOCUMENT_TYPE:
        return u"document_type";
      case NODE_START_TAG:
        return u"start_tag";
      case NODE_END_TAG:
        return u"end_tag";
      case NODE_CDATA_SECTION:
        return u"cdata_section";
      case NODE_PROCESSING_INSTRUCTION:
        return u"processing_instruction";
      case NODE_COMMENT:
        return u"comment";
      default:
        return u"tag";
    }
  }

  TextCursor& m_cursor;
  NodeToken& m_node;
  bool m_writeMessages;
  const char16_t* m_text;
  int32_t m_length;
  int32_t m_pos;
  bool m_inDoctype = false;  // the unterminated markup lies inside a document type declaration
  int32_t m_bodyStart = 0;   // first character after a tag name: the "last characters" start here
};

}  // namespace

int32_t ScanNode(TextCursor& cursor, NodeToken& node, NodeMessages messages) {
  return NodeScanner(cursor, node, messages).Run();
}
