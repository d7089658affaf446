// Reading the library's packed constant tables (encoding names, named character references): their
// entries are ASCII text, with numbers written as decimal digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The number that `digits` spells in decimal.
inline int32_t DecimalDigits(std::string_view digits) {
  int32_t value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

// Whether the ASCII `stored` text and `text` hold the same characters.
inline bool SameAsStored(std::string_view stored, std::u16string_view text) {
  if (stored.size() != text.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(stored[i]) != text[i]) return false;
  }
  return true;
}

// A table of `Count` buckets stored as one text, each bucket ended by '|'.
template <size_t Count>
class BucketTable {
 public:
  consteval explicit BucketTable(std::string_view text) : m_text(text) {
    size_t bucket = 0;
    m_starts[0] = 0;
    for (size_t at = 0; at < text.size(); ++at) {
      if (text[at] == '|' && bucket < Count) m_starts[++bucket] = static_cast<uint16_t>(at + 1);
    }
    m_complete = bucket == Count && text.size() < 65536 && text.ends_with('|');
  }

  // Whether the text holds exactly `Count` buckets.
  constexpr bool Complete() const { return m_complete; }

  // Bucket k's entries, without the '|' that ends it.
  constexpr std::string_view operator[](size_t k) const {
    return m_text.substr(m_starts[k], static_cast<size_t>(m_starts[k + 1] - m_starts[k] - 1));
  }

 private:
  std::string_view m_text;
  uint16_t m_starts[Count + 1] = {};
  bool m_complete = false;
};
