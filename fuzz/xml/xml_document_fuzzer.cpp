// Fuzz target of the XML document: any text is parsed, every element is read through every
// navigation and read operation, then a few edits run and the index invariants are checked after
// each. Odd first bytes take the rest as raw UTF-16 units (unpaired surrogates, zeros), even ones
// as UTF-8.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/utf.h"
#include "tests/xml/index_invariants.h"
#include "xml/result_record.h"
#include "xml/xml_document.h"

namespace {

void Require(const CXmlDocument& document, const char* after) {
  const std::string fault = CheckIndexInvariants(document);
  if (fault.empty()) return;
  std::fprintf(stderr, "index invariant broken after %s: %s\n", after, fault.c_str());
  std::abort();
}

std::u16string DecodeInput(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  if (data[0] & 1) {
    std::u16string text((size - 1) / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<char16_t>(data[1 + 2 * i] | (data[2 + 2 * i] << 8));
    }
    return text;
  }
  return platform::FromUtf8(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
}

// The first attribute name of an element's start tag, for reading it back by name.
std::u16string FirstAttributeName(const CXmlDocument& document, int32_t element) {
  TextCursor cursor(document.Text(), document.GetRecord(element).start + 1);
  if (!CXmlDocument::FindAttribute(cursor, {})) return {};
  return std::u16string(cursor.Token());
}

void ReadEveryElement(CXmlDocument& document) {
  if (!document.FindElement()) return;  // the reads of attributes need a current element
  for (int32_t i = 0; i <= document.Used(); ++i) {
    document.GetElementText(i);
    if (i > 0 && i < document.Used()) {
      const std::u16string name = FirstAttributeName(document, i);
      if (!name.empty()) document.GetAttribute(i, name);
    }
    document.GetAttribute(i, u"x");
  }
}

// Walks the whole tree with the installer's calls: children by any name, in and out again.
void WalkTree(CXmlDocument& document, int32_t budget) {
  while (budget-- > 0) {
    if (document.FindChildElement()) {
      document.EnterElement();
      document.FindElement(u"a/b[@c='d']");
      continue;
    }
    if (!document.LeaveElement()) break;
    document.FindElement();
  }
}

// Runs a few edits; true when at least one of them changed the document.
bool EditAFewTimes(CXmlDocument& document, const std::u16string& value) {
  bool edited = false;
  auto check = [&](bool succeeded, const char* after) {
    Require(document, after);
    edited = edited || succeeded;
  };
  document.FindElement();
  document.EnterElement();
  check(document.AppendElement(u"added"), "AppendElement");
  check(document.SetAttribute(document.Current(), u"v", value), "SetAttribute of a new element");
  check(document.SetAttribute(document.Parent(), u"x", value), "SetAttribute x");
  check(document.SetAttribute(document.Parent(), u"y", -1), "SetAttribute y");
  if (document.LeaveElement()) check(document.AppendElement(u"top"), "AppendElement at the top");
  for (int32_t i = 1; i < document.Used() && i < 8; ++i) {
    document.FindElement();
    const std::u16string name = FirstAttributeName(document, i);
    if (!name.empty()) check(document.SetAttribute(i, name, u"&<\"'>"), "SetAttribute of a named one");
  }
  return edited;
}

// An edited text parses again into the same elements at the same offsets, well-formed or not.
void RequireSameElementsOnReparse(const CXmlDocument& document) {
  CXmlDocument reparsed(document.Text());
  if (reparsed.Used() != document.Used()) {
    std::fprintf(stderr, "a new parse finds %d records instead of %d\n", reparsed.Used(), document.Used());
    std::abort();
  }
  for (int32_t i = 1; i < document.Used(); ++i) {
    bool found = false;
    for (int32_t j = 1; j < reparsed.Used() && !found; ++j) {
      found = reparsed.GetRecord(j).start == document.GetRecord(i).start &&
              reparsed.GetRecord(j).length == document.GetRecord(i).length;
    }
    if (!found) {
      std::fprintf(stderr, "a new parse does not find element %d\n", i);
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string text = DecodeInput(data, size);
  CXmlDocument document;
  document.SetText(text);
  Require(document, "SetText");
  ReadEveryElement(document);
  WalkTree(document, 4 * document.Used() + 8);
  CXmlDocument::UnescapeText(text.data(), static_cast<int32_t>(text.size()));
  std::u16string records;
  AddResultRecord(records, RESULT_TYPE, u"r", text.substr(0, 64), 1, 2);

  const bool edited = EditAFewTimes(document, text.substr(0, 16));
  ReadEveryElement(document);
  if (edited) RequireSameElementsOnReparse(document);
  return 0;
}
