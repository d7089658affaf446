// What `check` found: one finding per mistake, with the file, where in it (when the file has
// positions) and a plain sentence; and the notes that describe the folder without being mistakes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kit {

struct Finding {
  std::string file;     // the file's name inside the folder
  int32_t line = 0;     // 1-based; 0 when the finding has no place in the file
  int32_t column = 0;   // 1-based; 0 with line 0
  std::string message;  // one sentence, UTF-8
};

class Findings {
 public:
  void Add(std::string file, std::string message) { Add(std::move(file), 0, 0, std::move(message)); }
  void Add(std::string file, int32_t line, int32_t column, std::string message) {
    m_items.push_back(Finding{std::move(file), line, column, std::move(message)});
  }
  const std::vector<Finding>& Items() const { return m_items; }
  bool Empty() const { return m_items.empty(); }

 private:
  std::vector<Finding> m_items;
};

}  // namespace kit
