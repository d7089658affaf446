// The node scanner: cuts a document text into start tags, end tags, character data, white space,
// CDATA sections, processing instructions, comments, document type declarations and malformed
// markup. It never stops at an error; each problem becomes a result record in the node.
#pragma once

#include <cstdint>
#include <string>

#include "xml/text_cursor.h"

enum : int32_t {
  NODE_END_OF_TEXT = -2,
  NODE_ERROR = -1,
  NODE_END_TAG = 0,
  NODE_START_TAG = 1,
  NODE_TEXT = 2,
  NODE_WHITESPACE = 4,
  NODE_CDATA_SECTION = 8,
  NODE_PROCESSING_INSTRUCTION = 16,
  NODE_COMMENT = 32,
  NODE_DOCUMENT_TYPE = 64,
};

enum : uint32_t {
  NODE_SELF_CLOSING = 0x10000,  // a start tag that ends in "/>"
  NODE_SYNTAX_ERROR = 0x20000,  // a syntax error was met: `messages` holds its records, if written
};

struct NodeToken {
  int32_t type = NODE_END_OF_TEXT;
  int32_t start = 0;
  int32_t length = 0;
  uint32_t flags = 0;
  std::u16string messages;  // result records of the syntax errors met in this node

  bool SelfClosing() const { return (flags & NODE_SELF_CLOSING) != 0; }
  bool HasSyntaxError() const { return (flags & NODE_SYNTAX_ERROR) != 0; }
  int32_t End() const { return start + length; }
};

// Whether a scan writes the records of the syntax errors it meets into the node's messages;
// callers that drop them skip the cost of writing them.
enum class NodeMessages { Written, Skipped };

// Scans one node from the cursor's position and leaves the position just past it. For a start
// tag, end tag or processing instruction the cursor's token is the node's name.
int32_t ScanNode(TextCursor& cursor, NodeToken& node, NodeMessages messages = NodeMessages::Written);
