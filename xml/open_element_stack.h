// The open elements while an element index is built, with the matching of end tags to them.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "xml/text_cursor.h"

// The names of the open elements: entry k names the open element at depth k (entry 0 is unused).
// Names are views into the text, which does not change while the index is built. An end tag is
// matched from the innermost entry outwards; once the searches have walked far, the stack also
// counts the names an end tag could match, so that lone end tags under deep nesting cost no walk.
class OpenElementStack {
 public:
  // The entries above the depth are kept for reuse, so that a push after a pop costs no growth.
  OpenElementStack() { m_names.resize(8); }

  int32_t Depth() const { return m_depth; }
  std::u16string_view Name(int32_t depth) const { return m_names[depth]; }

  void Push(std::u16string_view name) {
    if (++m_depth == static_cast<int32_t>(m_names.size())) m_names.resize(m_names.size() * 2);
    m_names[m_depth] = name;
    if (m_counted) Count(name, 1);
  }

  void PopTo(int32_t depth) {
    if (m_counted) {
      for (int32_t k = m_depth; k > depth; --k) Count(m_names[k], -1);
    }
    m_depth = depth;
  }

  // The depth of the innermost open element that the cursor's token names, or 0.
  int32_t FindMatch(const TextCursor& cursor) {
    if (m_counted && !m_counts.contains(cursor.Token())) return 0;
    for (int32_t k = m_depth; k > 0; --k) {
      if (MatchName(cursor, m_names[k])) return k;
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
    for (int32_t k = 1; k <= m_depth; ++k) Count(m_names[k], 1);
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

  std::vector<std::u16string_view> m_names;
  static constexpr int32_t kWalkBeforeCounting = 64;

  int32_t m_depth = 0;
  int64_t m_walked = 0;  // steps of all searches so far
  bool m_counted = false;
  std::unordered_map<std::u16string_view, int32_t> m_counts;
};
