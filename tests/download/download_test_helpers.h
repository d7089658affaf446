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

#ifdef _WIN32
#include <windows.h>
#endif

#include "download/download_status.h"
#include "platform/http.h"
#include "platform/utf.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_http_server.h"

using Kind = TestHttpServer::Kind;

// Byte `k` of one period of the test server's pattern of the file's version `version`: it starts
// with the header of a Windows program ("MZ", and at 0x3C the offset 0x40 of "PE\0\0"); a file that
// changed on the server (version 2 on) adds its version less one to every other byte.
inline char PatternByte(unsigned long long k, int version) {
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
      return static_cast<char>(((k * 7) + (k >> 8) + static_cast<unsigned long long>(version - 1)) & 0xFF);
  }
}

// The bytes `first` to `first + length - 1` of every file the test server serves.
inline std::string Pattern(unsigned long long first, size_t length, int version = 1) {
  constexpr unsigned long long kPeriod = 65521;
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i) bytes[i] = PatternByte((first + i) % kPeriod, version);
  return bytes;
}

#ifdef _WIN32
// The engine holds a checked file with delete access, so only a reader that shares deletion (as the
// system's program loader does) may open it meanwhile; the runtime's streams do not.
inline std::string ReadBytes(const std::filesystem::path& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char piece[65536];
  DWORD got = 0;
  while (ReadFile(h, piece, sizeof piece, &got, nullptr) && got > 0) bytes.append(piece, got);
  CloseHandle(h);
  return bytes;
}
#else
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
#endif

inline std::u16string PathText(const std::filesystem::path& path) { return path.u16string(); }

// Hexadecimal digits in upper case (a digest as some vendors write it).
inline std::u16string Upper(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'f') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return text;
}

// The requests the test server saw under `id=<id>`, one a line: "<Range or -> <If-Range or ->
// <status> <body bytes sent>".
inline std::vector<std::string> ServerLog(const TestHttpServer& server, const std::string& id) {
  using namespace platform::http;
  std::string url = server.UrlText(TestHttpServer::Kind::Http, 0);
  url = url.substr(0, url.find("/file/")) + "/log/" + id;
  SessionHandle session = OpenSession(u"log reader");
  UrlParts parts;
  if (!session || !SplitUrl(TestHttpServer::Widen(url), parts)) return {};
  ConnectionHandle connection = Connect(*session, parts);
  RequestHandle request =
      connection ? OpenRequest(*connection, nullptr, parts.path, {u"*/*"}, REQUEST_RELOAD) : nullptr;
  if (!request || SendRequest(*request) != SendResult::Replied) return {};
  std::string text;
  uint32_t available = 0;
  while (QueryDataAvailable(*request, available) == Availability::Ready && available > 0) {
    std::string piece(available, '\0');
    uint32_t read = 0;
    if (!ReadData(*request, piece.data(), available, read) || read == 0) break;
    text.append(piece, 0, read);
  }
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
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
