// The http seam on WinINet in synchronous mode. A blocking call is stopped the documented way: an
// abort switch closes its handle from another thread.
#include "platform/http.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform::http {
namespace {

struct CloseInternetHandle {
  void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
using InternetHandle = win32::UniqueHandle<HINTERNET, CloseInternetHandle>;

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
  if (flags & REQUEST_NO_COOKIES) result |= INTERNET_FLAG_NO_COOKIES;
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

bool StartsWithHttps(const wchar_t* url) { return url != nullptr && _wcsnicmp(url, L"https:", 6) == 0; }

// A redirect's new address, which some systems hand to a wide callback as 8-bit text.
std::u16string RedirectTarget(const void* info) {
  if (info == nullptr) return {};
  const auto* bytes = static_cast<const unsigned char*>(info);
  if (bytes[0] != 0 && bytes[1] == 0) return win32::FromWide(static_cast<const wchar_t*>(info));
  std::u16string target;
  for (; *bytes != 0; ++bytes) target += static_cast<char16_t>(*bytes);
  return target;
}

// The failures of a send that refuse the server's certificate rather than lose the server.
bool IsCertificateRefusal(DWORD error) {
  switch (error) {
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_NO_REV:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_INVALID_CERT:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
      return true;
    default:
      return false;
  }
}

class AbortableHandle;

}  // namespace

struct AbortSwitch {
  SRWLOCK lock = SRWLOCK_INIT;  // guards `thrown` and `live`
  bool thrown = false;
  std::vector<AbortableHandle*> live;  // the handles open through this switch, oldest first
};

namespace {

// An internet handle that an abort switch may close from another thread while its owner is blocked
// in a call on it. Whichever comes first, the switch or the owner's close, closes it, exactly once;
// after that the owner's calls get a null handle and fail. (A call that has just read the handle
// when the switch closes it meets a closed handle; nothing else opens internet handles meanwhile,
// so the value is not reused under it.)
class AbortableHandle {
 public:
  AbortableHandle(HINTERNET h, AbortSwitch* abortSwitch) : m_h(h), m_abortSwitch(abortSwitch) {
    if (m_abortSwitch == nullptr) return;
    AcquireSRWLockExclusive(&m_abortSwitch->lock);
    if (m_abortSwitch->thrown) {
      CloseNow();
    } else {
      m_abortSwitch->live.push_back(this);
    }
    ReleaseSRWLockExclusive(&m_abortSwitch->lock);
  }
  AbortableHandle(const AbortableHandle&) = delete;
  AbortableHandle& operator=(const AbortableHandle&) = delete;
  ~AbortableHandle() {
    if (m_abortSwitch == nullptr) {
      CloseNow();
      return;
    }
    AcquireSRWLockExclusive(&m_abortSwitch->lock);
    auto& live = m_abortSwitch->live;
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    CloseNow();
    ReleaseSRWLockExclusive(&m_abortSwitch->lock);
  }

  HINTERNET Get() const { return m_h.load(); }
  void CloseNow() {
    if (HINTERNET h = m_h.exchange(nullptr)) InternetCloseHandle(h);
  }

 private:
  std::atomic<HINTERNET> m_h;
  AbortSwitch* const m_abortSwitch;
};

}  // namespace

struct Session {
  InternetHandle h;
};
struct Connection {
  Connection(HINTERNET h, AbortSwitch* abortSwitch) : handle(h, abortSwitch), abortSwitch(abortSwitch) {}
  AbortableHandle handle;
  AbortSwitch* abortSwitch;
};
struct Request {
  explicit Request(bool isSecure) : reachedHttps(isSecure) {}
  std::unique_ptr<AbortableHandle> handle;
  bool reachedHttps;                      // an address of the chain so far was https
  bool redirectRefused = false;           // a hop went from https to plain http
  std::vector<std::u16string> redirects;  // every hop's address, in order
  bool replied = false;
};

void Close(Session* handle) { delete handle; }
void Close(Connection* handle) { delete handle; }
void Close(Request* handle) { delete handle; }
void Close(AbortSwitch* handle) { delete handle; }

AbortSwitchHandle CreateAbortSwitch() { return AbortSwitchHandle(new AbortSwitch); }

void Abort(AbortSwitch& abortSwitch) {
  AcquireSRWLockExclusive(&abortSwitch.lock);
  abortSwitch.thrown = true;
  // Newest first: a request before its connection.
  for (auto it = abortSwitch.live.rbegin(); it != abortSwitch.live.rend(); ++it) (*it)->CloseNow();
  ReleaseSRWLockExclusive(&abortSwitch.lock);
}

namespace {

// Called on the thread of the request's own call (synchronous mode), for every hop of a redirect:
// each hop is judged against the address it leaves, so that a chain that has reached https never
// goes back to plain http (http -> https -> http included).
void CALLBACK OnRequestStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD) {
  if (status != INTERNET_STATUS_REDIRECT || context == 0) return;
  auto* request = reinterpret_cast<Request*>(context);
  std::u16string target = RedirectTarget(info);
  if (StartsWithHttps(win32::Wide(target))) {
    request->reachedHttps = true;
  } else if (request->reachedHttps) {
    request->redirectRefused = true;
  }
  request->redirects.push_back(std::move(target));
}

}  // namespace

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
  // The stall limit, instead of the system's much longer defaults. A receive time-out ends the
  // request it passes on, so it is never shorter than the longest silence to be sat out.
  SetTimeout(h.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, kStallLimitMs);
  SetTimeout(h.Get(), INTERNET_OPTION_SEND_TIMEOUT, kStallLimitMs);
  SetTimeout(h.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, kStallLimitMs);
  return SessionHandle(new Session{std::move(h)});
}

ConnectionHandle Connect(Session& session, const UrlParts& parts, AbortSwitch* abortSwitch) {
  DWORD service = parts.scheme == Scheme::Ftp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP;
  HINTERNET h = InternetConnectW(session.h.Get(), win32::Wide(parts.host), parts.port, OrNull(parts.user),
                                 OrNull(parts.password), service, 0, 0);
  if (h == nullptr) return nullptr;
  ConnectionHandle connection(new Connection(h, abortSwitch));
  if (connection->handle.Get() == nullptr) return nullptr;  // the switch was thrown already
  return connection;
}

RequestHandle OpenRequest(Connection& connection, const char16_t* verb, const std::u16string& object,
                          std::initializer_list<const char16_t*> acceptTypes, uint32_t flags) {
  std::vector<const wchar_t*> accept;
  for (const char16_t* type : acceptTypes) accept.push_back(win32::Wide(type));
  accept.push_back(nullptr);
  RequestHandle request(new Request((flags & REQUEST_SECURE) != 0));
  // The request's record is the context its status callback gets.
  HINTERNET h = HttpOpenRequestW(connection.handle.Get(), verb ? win32::Wide(verb) : nullptr,
                                 win32::Wide(object), L"HTTP/1.1", nullptr, accept.data(),
                                 ToInternetFlags(flags), reinterpret_cast<DWORD_PTR>(request.get()));
  if (h == nullptr) return nullptr;
  request->handle = std::make_unique<AbortableHandle>(h, connection.abortSwitch);
  if (request->handle->Get() == nullptr) return nullptr;
  InternetSetStatusCallbackW(h, OnRequestStatus);
  // Caches between here and the server (a proxy's) answer from the server too.
  if ((flags & REQUEST_RELOAD) && !(AddRequestHeader(*request, u"Cache-Control:no-cache") &&
                                    AddRequestHeader(*request, u"Pragma:no-cache"))) {
    return nullptr;
  }
  return request;
}

bool AddRequestHeader(Request& request, const std::u16string& line) {
  return HttpAddRequestHeadersW(request.handle->Get(), win32::Wide(line), static_cast<DWORD>(-1),
                                kAddAndReplace) != FALSE;
}

SendResult SendRequest(Request& request) {
  HINTERNET h = request.handle->Get();
  if (!HttpSendRequestW(h, nullptr, 0, nullptr, 0)) {
    const DWORD error = GetLastError();
    if (request.redirectRefused || error == ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR)
      return SendResult::RedirectRefused;
    return IsCertificateRefusal(error) ? SendResult::CertificateRefused : SendResult::Failed;
  }
  // No hop went back from https to plain http: every hop was seen by the status callback, and the
  // address the chain ended at is checked too.
  if (request.redirectRefused || (request.reachedHttps && !StartsWithHttps(FinalUrl(h).c_str()))) {
    return SendResult::RedirectRefused;
  }
  request.replied = true;
  return SendResult::Replied;
}

bool QueryRedirects(Request& request, std::vector<std::u16string>& addresses) {
  if (!request.replied) return false;
  addresses = request.redirects;
  return true;
}

bool QueryStatusCode(Request& request, uint32_t& status) {
  DWORD value = 0, size = sizeof(value);
  if (!HttpQueryInfoW(request.handle->Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &value, &size,
                      nullptr)) {
    return false;
  }
  status = value;
  return true;
}

bool QueryHeader(Request& request, Header header, std::u16string& value) {
  DWORD info = HTTP_QUERY_RETRY_AFTER;
  switch (header) {
    case Header::ContentLength:
      info = HTTP_QUERY_CONTENT_LENGTH;
      break;
    case Header::ContentRange:
      info = HTTP_QUERY_CONTENT_RANGE;
      break;
    case Header::ETag:
      info = HTTP_QUERY_ETAG;
      break;
    case Header::LastModified:
      info = HTTP_QUERY_LAST_MODIFIED;
      break;
    case Header::RetryAfter:
      break;
  }
  HINTERNET h = request.handle->Get();
  std::vector<wchar_t> buffer(64);
  DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(h, info, buffer.data(), &size, nullptr)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    buffer.resize(size / sizeof(wchar_t) + 1);
    if (!HttpQueryInfoW(h, info, buffer.data(), &size, nullptr)) return false;
  }
  value = win32::FromWide(buffer.data(), size / sizeof(wchar_t));
  return true;
}

Availability QueryDataAvailable(Request& request, uint32_t& count) {
  DWORD available = 0;
  count = 0;
  // Blocks until bytes come, the body ends, or the receive time-out (the stall limit) passes,
  // which ends the request.
  if (!InternetQueryDataAvailable(request.handle->Get(), &available, 0, 0)) return Availability::Failed;
  count = available;
  return Availability::Ready;
}

bool ReadData(Request& request, void* buffer, uint32_t size, uint32_t& read) {
  DWORD got = 0;
  if (!InternetReadFile(request.handle->Get(), buffer, size, &got)) return false;
  read = got;
  return true;
}

std::u16string ProxySettings(Session& session) {
  DWORD size = 0;
  InternetQueryOptionW(session.h.Get(), INTERNET_OPTION_PROXY, nullptr, &size);
  if (size < sizeof(INTERNET_PROXY_INFO)) return {};
  // The record is followed by the texts it points at.
  std::vector<unsigned char> buffer(size);
  if (!InternetQueryOptionW(session.h.Get(), INTERNET_OPTION_PROXY, buffer.data(), &size)) return {};
  INTERNET_PROXY_INFO info;
  std::memcpy(&info, buffer.data(), sizeof(info));
  if (info.dwAccessType != INTERNET_OPEN_TYPE_PROXY || info.lpszProxy == nullptr || *info.lpszProxy == 0) return {};
  std::u16string text = win32::FromWide(info.lpszProxy);
  if (info.lpszProxyBypass != nullptr && *info.lpszProxyBypass != 0)
    text += u" (bypassed for " + win32::FromWide(info.lpszProxyBypass) + u")";
  return text;
}

}  // namespace platform::http
