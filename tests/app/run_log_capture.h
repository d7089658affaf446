// The process's log written into a scratch folder while the capture lives, and its lines read back
// without their timestamps. Afterwards the log is skipped, so other tests leave nothing behind.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/run_log.h"
#include "tests/support/temp_folder.h"

class RunLogCapture {
 public:
  RunLogCapture() {
    TheRunLog.Restart();
    TheRunLog.OpenAt(m_folder.Path().u16string() + u"/run.log");
  }
  RunLogCapture(const RunLogCapture&) = delete;
  RunLogCapture& operator=(const RunLogCapture&) = delete;
  ~RunLogCapture() {
    TheRunLog.Restart();
    TheRunLog.Close();
  }

  // "2024-03-05 14:07:09.042 " is cut off each line, and its "\r\n".
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::ifstream in(m_folder / "run.log", std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line.size() >= kStampLength ? line.substr(kStampLength) : line);
    }
    return lines;
  }
  // Whether some line contains `text`.
  bool Has(const std::string& text) const {
    for (const std::string& line : Lines()) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }

 private:
  static constexpr size_t kStampLength = 24;
  TempFolder m_folder;
};
