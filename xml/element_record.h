// One element of a document's index: eight 32-bit words with the element's place in the text and
// its links to parent, first child and siblings. Record 0 stands for the document itself.
#pragma once

#include <cstdint>

enum : uint32_t {
  FIRST_CHILD = 0x80000,  // prevSibling names the last sibling, not a predecessor
  UNENDED = 0x100000,     // closed without an end tag
  HAS_ERROR = 0x200000,   // a lone end tag or malformed markup in the content
  ILL_FORMED = 0x800000,  // record 0 only: the text is not well-formed
};

struct ElementRecord {
  // The tag lengths share one word; lengths beyond a field's width are stored as its largest
  // value, and readers that need the exact length measure the tag again (CXmlDocument does).
  static constexpr int32_t kMaxStartTagLength = (1 << 22) - 1;
  static constexpr int32_t kMaxEndTagLength = (1 << 10) - 1;
  static constexpr int32_t kMaxLevel = 0xFFFF;

  int32_t start;
  int32_t length;
  uint32_t tagLengths;     // bits 0-21 startTagLength, bits 22-31 endTagLength
  uint32_t levelAndFlags;  // bits 0-15 level, flags above
  int32_t parent;
  int32_t firstChild;
  int32_t nextSibling;
  int32_t prevSibling;

  int32_t StartTagLength() const { return static_cast<int32_t>(tagLengths & 0x3FFFFF); }
  int32_t EndTagLength() const { return static_cast<int32_t>(tagLengths >> 22); }
  bool StartTagSaturated() const { return StartTagLength() == kMaxStartTagLength; }
  bool EndTagSaturated() const { return EndTagLength() == kMaxEndTagLength; }
  void SetTagLengths(int32_t startTag, int32_t endTag) {
    tagLengths = Saturate(startTag, kMaxStartTagLength) | (Saturate(endTag, kMaxEndTagLength) << 22);
  }
  void SetStartTagLength(int32_t startTag) { SetTagLengths(startTag, EndTagLength()); }
  void SetEndTagLength(int32_t endTag) { SetTagLengths(StartTagLength(), endTag); }

  int32_t Level() const { return static_cast<int32_t>(levelAndFlags & 0xFFFF); }
  // Deeper nesting than the field holds keeps the largest level instead of spilling into the flags.
  void SetLevelAndFlags(int32_t level, uint32_t flags) { levelAndFlags = Saturate(level, kMaxLevel) | flags; }
  bool Has(uint32_t flag) const { return (levelAndFlags & flag) != 0; }
  void Set(uint32_t flag) { levelAndFlags |= flag; }
  void Clear(uint32_t flag) { levelAndFlags &= ~flag; }

 private:
  static uint32_t Saturate(int32_t value, int32_t max) {
    return static_cast<uint32_t>(value < 0 ? 0 : value > max ? max : value);
  }
};

static_assert(sizeof(ElementRecord) == 32, "an element costs 32 bytes");
