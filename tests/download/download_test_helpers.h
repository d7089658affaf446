// Helpers of the download tests: the server's file pattern, reading back the destination file,
// and a watcher that records every state the shared status record passes through.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "download/download_status.h"
#include "platform/utf.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_http_server.h"

using Kind = TestHttpServer::Kind;

// Byte `k` of one period of the test server's pattern, which starts with the header of a Windows
// program: "MZ", and at 0x3C the offset 0x40 of "PE\0\0".
inline char PatternByte(unsigned long long k) {
  switch (k) {
    case 0:
      return 'M';
    case 1:
      return 'Z';
    case 0x3C:
      return 0x40;
    case 0x40:
      return 'P';
    case 0x41:
      return 'E';
    case 0x3D:
    case 0x3E:
    case 0x3F:
    case 0x42:
    case 0x43:
      return 0;
    default:
      return static_cast<char>(((k * 7) + (k >> 8)) & 0xFF);
  }
}

// The bytes `first` to `first + length - 1` of every file the test server serves.
inline std::string Pattern(unsigned long long first, size_t length) {
  constexpr unsigned long long kPeriod = 65521;
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i) bytes[i] = PatternByte((first + i) % kPeriod);
  return bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline std::u16string PathText(const std::filesystem::path& path) { return path.u16string(); }

// Hexadecimal digits in upper case (a digest as some vendors write it).
inline std::u16string Upper(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'f') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return text;
}

// Polls the shared record until a final state (8 or 10) or a generous bound, noting each state
// once in the order seen, the record at the final state, and whether the file existed then.
class StateWatcher {
 public:
  explicit StateWatcher(std::filesystem::path file) : m_file(std::move(file)) {}

  // Notes the state before the worker runs, which no delay of the watching thread can then miss.
  void Begin() { states.assign(1, ReadStatus().state); }

  // Runs on the calling thread; true when a final state was reached within the bound.
  bool WatchUntilFinal(std::chrono::seconds bound = std::chrono::seconds(120)) {
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < deadline) {
      DownloadStatus now = ReadStatus();
      if (states.empty() || states.back() != now.state) states.push_back(now.state);
      if (now.state == STATUS_PREPARE_INSTALL || now.state == STATUS_FINISHED) {
        final = now;
        fileExistsAtFinal = std::filesystem::exists(m_file);
        if (fileExistsAtFinal) fileAtFinal = ReadBytes(m_file);
        return true;
      }
      if (onPoll) onPoll(now);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }

  std::vector<int32_t> states;
  DownloadStatus final;
  bool fileExistsAtFinal = false;
  std::string fileAtFinal;
  std::function<void(const DownloadStatus&)> onPoll;

 private:
  std::filesystem::path m_file;
};
