// Checks the invariants of a document's element index; shared by the tests and the fuzz target.
#pragma once

#include <string>
#include <vector>

#include "xml/xml_document.h"

// An empty string when the index is sound, else the first fault found.
inline std::string CheckIndexInvariants(const CXmlDocument& document) {
  const int32_t used = document.Used();
  const int32_t textLength = static_cast<int32_t>(document.Text().size());
  if (used < 1 || used > document.Index().Capacity()) return "record count outside the capacity";
  const ElementRecord& root = document.GetRecord(0);
  if (root.start != 0 || root.StartTagLength() != 0 || root.parent != 0 || root.nextSibling != 0) {
    return "record 0 does not describe the document";
  }
  if (textLength > 0 && root.length != textLength) return "record 0 length is not the text length";
  std::vector<int32_t> seenAsChild(static_cast<size_t>(used), 0);
  for (int32_t p = 0; p < used; ++p) {
    const ElementRecord& parent = document.GetRecord(p);
    if (p > 0) {
      if (parent.start < 0 || parent.length < document.StartTagLength(p) ||
          parent.start + parent.length > textLength) {
        return "element " + std::to_string(p) + " lies outside the text";
      }
      if (document.StartTagLength(p) < 2) return "element " + std::to_string(p) + " has no start tag";
      if (document.Text()[parent.start] != u'<')
        return "element " + std::to_string(p) + " does not start at <";
    }
    int32_t previous = 0, count = 0;
    for (int32_t c = parent.firstChild; c != 0; c = document.GetRecord(c).nextSibling) {
      if (c <= 0 || c >= used || ++count > used) return "child chain of " + std::to_string(p) + " is broken";
      const ElementRecord& child = document.GetRecord(c);
      if (child.parent != p) return "child " + std::to_string(c) + " names another parent";
      if (child.Has(FIRST_CHILD) != (previous == 0)) return "FIRST_CHILD wrong on " + std::to_string(c);
      if (previous != 0 && child.prevSibling != previous) return "prevSibling wrong on " + std::to_string(c);
      if (previous != 0) {
        const ElementRecord& before = document.GetRecord(previous);
        if (child.start < before.start + before.length) return "siblings overlap at " + std::to_string(c);
      } else if (p > 0 && child.start < parent.start + document.StartTagLength(p)) {
        return "first child " + std::to_string(c) + " starts inside its parent's start tag";
      }
      if (p > 0 && child.start + child.length > parent.start + parent.length) {
        return "child " + std::to_string(c) + " ends after its parent";
      }
      if (seenAsChild[c]++) return "element " + std::to_string(c) + " is in two chains";
      previous = c;
    }
    if (parent.firstChild != 0 && document.GetRecord(parent.firstChild).prevSibling != previous) {
      return "first child of " + std::to_string(p) + " does not name the last";
    }
  }
  for (int32_t i = 1; i < used; ++i) {
    if (!seenAsChild[i]) return "element " + std::to_string(i) + " is in no chain";
  }
  return {};
}
