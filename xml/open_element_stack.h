// The open elements while an element index is built, with the matching of end tags to them.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "xml/text_cursor.h"

// The open elements: entry k holds the index and the name of the open element at depth k (entry
// 0 stands for the document). Names are views into the text, which does not change while the index
// is built. An end tag is matched from the innermost entry outwards; once the searches have walked
// far, the stack also counts the names an end tag could match, so that lone end tags under deep
// nesting cost no walk.
class OpenElementStack {
 public:
  // The entries above the depth are kept for reuse, so that a push after a pop costs no growth.
  OpenElementStack() { m_open.push_back({}); }

  int32_t Depth() const { return m_depth; }
  std::u16string_view Name(int32_t depth) const { return m_open[depth].Name(); }
  int32_t Element(int32_t depth) const { return m_open[depth].element; }

  void Push(std::u16string_view name, int32_t element) {
    if (++m_depth == static_cast<int32_t>(m_open.size())) {
      // Fourfold growth: deep nesting copies the entries a third as often as doubling would.
      if (m_open.size() == m_open.capacity()) m_open.reserve(m_open.capacity() * 4);
      m_open.push_back({name.data(), static_cast<int32_t>(name.size()), element});
    } else {
      m_open[m_depth] = {name.data(), static_cast<int32_t>(name.size()), element};
    }
    if (m_counted) Count(name, 1);
  }

  void PopTo(int32_t depth) {
    if (m_counted) {
      for (int32_t k = m_depth; k > depth; --k) Count(m_open[k].Name(), -1);
    }
    m_depth = depth;
  }

  // The depth of the innermost open element that the cursor's token names, or 0.
  int32_t FindMatch(const TextCursor& cursor) {
    if (m_counted && !m_counts.contains(cursor.Token())) return 0;
    for (int32_t k = m_depth; k > 0; --k) {
      if (MatchName(cursor, m_open[k].Name())) return k;
      // Counting costs one step per open element: worth it once the walks together took as many.
      if (!m_counted && ++m_walked > m_depth + kWalkBeforeCounting) {
        StartCounting();
        if (!m_counts.contains(cursor.Token())) return 0;
      }
    }
    return 0;
  }

 private:
  void StartCounting() {
    m_counted = true;
    for (int32_t k = 1; k <= m_depth; ++k) Count(m_open[k].Name(), 1);
  }

  // An end tag matches a name when it equals the name or the name's part before "=", "[" or "]".
  void Count(std::u16string_view name, int32_t change) {
    for (size_t i = 0; i < name.size(); ++i) {
      if (name[i] == u'=' || name[i] == u'[' || name[i] == u']') Adjust(name.substr(0, i), change);
    }
    Adjust(name, change);
  }

  void Adjust(std::u16string_view key, int32_t change) {
    const auto it = m_counts.try_emplace(key, 0).first;
    it->second += change;
    if (it->second == 0) m_counts.erase(it);
  }

  // Sixteen bytes: deep nesting keeps an entry for every level.
  struct OpenElement {
    const char16_t* name = nullptr;
    int32_t nameLength = 0;
    int32_t element = 0;

    std::u16string_view Name() const { return {name, static_cast<size_t>(nameLength)}; }
  };

  std::vector<OpenElement> m_open;
  static constexpr int32_t kWalkBeforeCounting = 64;

  int32_t m_depth = 0;
  int64_t m_walked = 0;  // steps of all searches so far
  bool m_counted = false;
  std::unordered_map<std::u16string_view, int32_t> m_counts;
};
