// The yardstick of the engine under Wine: the same WinINet calls the engine's transfer makes (one
// ranged GET, InternetQueryDataAvailable and InternetReadFile in 4,096-byte pieces, writes in
// 40,960-byte blocks), in a bare loop with nothing else around them. Prints the seconds to the last
// byte in the file. Windows only. Usage: bare_wininet_loop URL OUTPUT_FILE SIZE
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::wstring Widen(const char* text) {
  std::string narrow(text);
  return std::wstring(narrow.begin(), narrow.end());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s URL OUTPUT_FILE SIZE\n", argv[0]);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const std::wstring url = Widen(argv[1]);
  const unsigned long long size = std::strtoull(argv[3], nullptr, 10);
  wchar_t host[256] = {}, path[2048] = {};
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host;
  parts.dwHostNameLength = 256;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = 2048;
  if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return 1;
  HINTERNET session = InternetOpenW(L"bare", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectW(session, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestW(connection, nullptr, path, L"HTTP/1.1", nullptr, nullptr,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  const std::wstring range = L"Range:bytes=0-" + std::to_wstring(size - 1);
  HttpAddRequestHeadersW(request, range.c_str(), static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
  if (!HttpSendRequestW(request, nullptr, 0, nullptr, 0)) return 1;
  HANDLE file = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  std::vector<char> piece(4096), block;
  block.reserve(40960);
  unsigned long long total = 0;
  for (;;) {
    DWORD available = 0, read = 0, written = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0) break;
    if (!InternetReadFile(request, piece.data(), available < 4096 ? available : 4096, &read) || read == 0) break;
    block.insert(block.end(), piece.begin(), piece.begin() + read);
    total += read;
    if (block.size() + 4096 > 40960 || read < 4096) {
      WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
      block.clear();
    }
  }
  DWORD written = 0;
  if (!block.empty()) WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  CloseHandle(file);
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(session);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("bytes=%llu seconds_to_last_byte=%.3f\n", total, seconds);
  return total == size ? 0 : 1;
}
