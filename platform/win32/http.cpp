// The http seam on WinINet in synchronous mode.
#include "platform/http.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform::http {
namespace {

struct CloseInternetHandle {
  void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
using InternetHandle = win32::UniqueHandle<HINTERNET, CloseInternetHandle>;

// Connecting, sending and waiting for the reply's headers give up after this much silence,
// instead of the system's much longer defaults.
constexpr DWORD kSessionTimeoutMs = 30000;
// Once the reply has come, each wait for body bytes lasts at most this long, so that the caller
// can look at its cancel while a server is silent.
constexpr DWORD kDataWaitMs = 1000;
constexpr DWORD kAddAndReplace = HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE;
constexpr DWORD kMaxCheckedPart = 2083;
constexpr DWORD kSplitBuffer = 4096;

void SetTimeout(HINTERNET h, DWORD option, DWORD milliseconds) {
  InternetSetOptionW(h, option, &milliseconds, sizeof(milliseconds));
}

DWORD ToInternetFlags(uint32_t flags) {
  DWORD result = 0;
  if (flags & REQUEST_RELOAD) result |= INTERNET_FLAG_RELOAD;
  if (flags & REQUEST_NO_CACHE_WRITE) result |= INTERNET_FLAG_NO_CACHE_WRITE;
  if (flags & REQUEST_KEEP_CONNECTION) result |= INTERNET_FLAG_KEEP_CONNECTION;
  if (flags & REQUEST_SECURE) result |= INTERNET_FLAG_SECURE;
  if (flags & REQUEST_NO_UI) result |= INTERNET_FLAG_NO_UI;
  return result;
}

Scheme ToScheme(INTERNET_SCHEME scheme) {
  switch (scheme) {
    case INTERNET_SCHEME_HTTP:
      return Scheme::Http;
    case INTERNET_SCHEME_HTTPS:
      return Scheme::Https;
    case INTERNET_SCHEME_FTP:
      return Scheme::Ftp;
    default:
      return Scheme::Other;
  }
}

const wchar_t* OrNull(const std::u16string& text) { return text.empty() ? nullptr : win32::Wide(text); }

// The URL the request ended at, after any redirects.
std::wstring FinalUrl(HINTERNET request) {
  DWORD size = 0;
  InternetQueryOptionW(request, INTERNET_OPTION_URL, nullptr, &size);
  if (size == 0) return {};
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1);
  if (!InternetQueryOptionW(request, INTERNET_OPTION_URL, buffer.data(), &size)) return {};
  return buffer.data();
}

}  // namespace

struct Session {
  InternetHandle h;
};
struct Connection {
  InternetHandle h;
};
struct Request {
  InternetHandle h;
  bool secure = false;
};

void Close(Session* handle) { delete handle; }
void Close(Connection* handle) { delete handle; }
void Close(Request* handle) { delete handle; }

bool SplitUrl(const std::u16string& url, UrlParts& parts) {
  std::vector<wchar_t> scheme(kSplitBuffer), host(kSplitBuffer), user(kSplitBuffer), password(kSplitBuffer),
      path(kSplitBuffer), extra(kSplitBuffer);
  URL_COMPONENTSW c = {};
  c.dwStructSize = sizeof(c);
  c.lpszScheme = scheme.data();
  c.dwSchemeLength = kSplitBuffer;
  c.lpszHostName = host.data();
  c.dwHostNameLength = kSplitBuffer;
  c.lpszUserName = user.data();
  c.dwUserNameLength = kSplitBuffer;
  c.lpszPassword = password.data();
  c.dwPasswordLength = kSplitBuffer;
  c.lpszUrlPath = path.data();
  c.dwUrlPathLength = kSplitBuffer;
  c.lpszExtraInfo = extra.data();
  c.dwExtraInfoLength = kSplitBuffer;
  if (!InternetCrackUrlW(win32::Wide(url), static_cast<DWORD>(url.size()), 0, &c)) return false;
  parts.scheme = ToScheme(c.nScheme);
  parts.host = win32::FromWide(host.data());
  parts.port = c.nPort;
  parts.user = win32::FromWide(user.data());
  parts.password = win32::FromWide(password.data());
  parts.path = win32::FromWide(path.data());
  parts.extra = win32::FromWide(extra.data());
  return true;
}

bool CanonicalizeAndSplit(const std::u16string& url) {
  DWORD size = static_cast<DWORD>(url.size()) * 3 + 64;
  std::vector<wchar_t> canonical(size);
  if (!InternetCanonicalizeUrlW(win32::Wide(url), canonical.data(), &size, ICU_BROWSER_MODE)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    canonical.resize(size + 1);
    if (!InternetCanonicalizeUrlW(win32::Wide(url), canonical.data(), &size, ICU_BROWSER_MODE)) return false;
  }
  std::vector<wchar_t> host(kMaxCheckedPart + 1), object(kMaxCheckedPart + 1);
  URL_COMPONENTSW c = {};
  c.dwStructSize = sizeof(c);
  c.lpszHostName = host.data();
  c.dwHostNameLength = kMaxCheckedPart + 1;
  c.lpszUrlPath = object.data();
  c.dwUrlPathLength = kMaxCheckedPart + 1;
  return InternetCrackUrlW(canonical.data(), 0, 0, &c) != FALSE;
}

SessionHandle OpenSession(const std::u16string& agent) {
  InternetHandle h(InternetOpenW(win32::Wide(agent), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!h) return nullptr;
  SetTimeout(h.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, kSessionTimeoutMs);
  SetTimeout(h.Get(), INTERNET_OPTION_SEND_TIMEOUT, kSessionTimeoutMs);
  SetTimeout(h.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, kSessionTimeoutMs);
  return SessionHandle(new Session{std::move(h)});
}

ConnectionHandle Connect(Session& session, const UrlParts& parts) {
  DWORD service = parts.scheme == Scheme::Ftp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP;
  InternetHandle h(InternetConnectW(session.h.Get(), win32::Wide(parts.host), parts.port, OrNull(parts.user),
                                    OrNull(parts.password), service, 0, 0));
  if (!h) return nullptr;
  return ConnectionHandle(new Connection{std::move(h)});
}

RequestHandle OpenRequest(Connection& connection, const char16_t* verb, const std::u16string& object,
                          std::initializer_list<const char16_t*> acceptTypes, uint32_t flags) {
  std::vector<const wchar_t*> accept;
  for (const char16_t* type : acceptTypes) accept.push_back(win32::Wide(type));
  accept.push_back(nullptr);
  InternetHandle h(HttpOpenRequestW(connection.h.Get(), verb ? win32::Wide(verb) : nullptr,
                                    win32::Wide(object), L"HTTP/1.1", nullptr, accept.data(),
                                    ToInternetFlags(flags), 0));
  if (!h) return nullptr;
  return RequestHandle(new Request{std::move(h), (flags & REQUEST_SECURE) != 0});
}

bool AddRequestHeader(Request& request, const std::u16string& line) {
  return HttpAddRequestHeadersW(request.h.Get(), win32::Wide(line), static_cast<DWORD>(-1), kAddAndReplace) !=
         FALSE;
}

bool SendRequest(Request& request) {
  if (!HttpSendRequestW(request.h.Get(), nullptr, 0, nullptr, 0)) return false;
  // A secure request never ends on a plain http address, whatever redirects the server sent.
  if (request.secure && FinalUrl(request.h.Get()).rfind(L"https:", 0) != 0) return false;
  SetTimeout(request.h.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, kDataWaitMs);
  return true;
}

bool QueryFinalUrl(Request& request, std::u16string& url) {
  const std::wstring final = FinalUrl(request.h.Get());
  if (final.empty()) return false;
  url = win32::FromWide(final.c_str(), final.size());
  return true;
}

bool QueryStatusCode(Request& request, uint32_t& status) {
  DWORD value = 0, size = sizeof(value);
  if (!HttpQueryInfoW(request.h.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &value, &size,
                      nullptr)) {
    return false;
  }
  status = value;
  return true;
}

bool QueryHeader(Request& request, Header header, std::u16string& value) {
  DWORD info = header == Header::ContentLength ? HTTP_QUERY_CONTENT_LENGTH : HTTP_QUERY_CONTENT_RANGE;
  std::vector<wchar_t> buffer(64);
  DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(request.h.Get(), info, buffer.data(), &size, nullptr)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    buffer.resize(size / sizeof(wchar_t) + 1);
    if (!HttpQueryInfoW(request.h.Get(), info, buffer.data(), &size, nullptr)) return false;
  }
  value = win32::FromWide(buffer.data(), size / sizeof(wchar_t));
  return true;
}

Availability QueryDataAvailable(Request& request, uint32_t& count) {
  DWORD available = 0;
  count = 0;
  if (!InternetQueryDataAvailable(request.h.Get(), &available, 0, 0)) {
    return GetLastError() == ERROR_INTERNET_TIMEOUT ? Availability::Silent : Availability::Failed;
  }
  count = available;
  return Availability::Ready;
}

bool ReadData(Request& request, void* buffer, uint32_t size, uint32_t& read) {
  DWORD got = 0;
  if (!InternetReadFile(request.h.Get(), buffer, size, &got)) return false;
  read = got;
  return true;
}

}  // namespace platform::http
