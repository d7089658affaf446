// The http seam on libcurl: each request runs on its own multi handle behind a pull adaptor. The
// body callback fills a buffer and pauses the transfer when it is full; asking for the bytes
// available drives the transfer until data is there, the body has ended, or the network has been
// silent for the stall limit. An abort switch wakes a request's wait and ends it.
#include "platform/http.h"

#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/utf.h"

namespace platform::http {

struct Session {
  std::string agent;
};

struct AbortSwitch {
  std::atomic<bool> thrown{false};
  std::mutex lock;                 // guards `requests`
  std::vector<Request*> requests;  // the live requests made through this switch
};

struct Connection {
  const Session* session;
  UrlParts parts;
  AbortSwitch* abortSwitch;
};

struct Request {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  AbortSwitch* abortSwitch = nullptr;
  curl_slist* headerList = nullptr;
  std::string url;
  std::vector<std::string> headers;  // "Name: value" lines to send
  bool started = false;

  // The addresses of the followed redirects, each taken when its response begins.
  std::vector<std::u16string> redirects;
  bool redirectPending = false;
  // Once an address of the chain was https, a later hop to plain http is refused.
  bool reachedHttps = false;
  bool redirectRefused = false;

  // The reply of the last response seen (a followed redirect starts a new one).
  uint32_t status = 0;
  bool headersDone = false;
  std::optional<std::string> location, contentLength, contentRange, etag, lastModified, retryAfter;

  // Body bytes waiting to be read: [readPos, body.size()).
  std::vector<char> body;
  size_t readPos = 0;
  bool paused = false;
  bool done = false;
  CURLcode result = CURLE_OK;
};

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kStallLimit = std::chrono::milliseconds(kStallLimitMs);
constexpr long kMaxRedirects = 10;
constexpr long kReceiveBufferSize = 128 * 1024;
constexpr size_t kBodyBufferSize = 512 * 1024;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string Trim(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(begin, end - begin + 1));
}

bool NameIs(std::string_view line, size_t colon, std::string_view name) {
  if (colon != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(line[i])) != name[i]) return false;
  }
  return true;
}

bool IsFollowedRedirect(const Request& r) {
  return r.location &&
         (r.status == 301 || r.status == 302 || r.status == 303 || r.status == 307 || r.status == 308);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// A redirect from an https address that names a plain http one. Relative and scheme-relative
// targets keep the scheme of the address they leave.
bool DowngradesFromHttps(const Request& r) { return r.reachedHttps && StartsWithNoCase(*r.location, "http:"); }

// The interim statuses a server sends before its reply (continue, switching protocols, processing,
// early hints); any other status, even below 200, is the reply itself.
bool IsInterim(uint32_t status) { return status >= 100 && status <= 103; }

// The address curl asks now: after a followed redirect, the redirect's resolved target.
void NoteRedirect(Request& r) {
  const char* address = nullptr;
  if (curl_easy_getinfo(r.easy, CURLINFO_EFFECTIVE_URL, &address) == CURLE_OK && address != nullptr) {
    r.redirects.push_back(FromUtf8(address));
    if (StartsWithNoCase(address, "https:")) r.reachedHttps = true;
  }
  r.redirectPending = false;
}

size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
  auto& r = *static_cast<Request*>(user);
  std::string_view line(data, size * count);
  if (line.substr(0, 5) == "HTTP/") {
    if (r.redirectPending) NoteRedirect(r);
    // A new response: forget the previous one's headers.
    r.status = 0;
    r.location = r.contentLength = r.contentRange = r.etag = r.lastModified = r.retryAfter = std::nullopt;
    size_t space = line.find(' ');
    if (space != std::string_view::npos)
      r.status = static_cast<uint32_t>(std::atoi(std::string(line.substr(space + 1, 3)).c_str()));
    return line.size();
  }
  if (Trim(line).empty()) {
    // The end of a response's headers; an interim or redirecting one is followed by another, unless
    // it leaves https for http: then the transfer ends here, before the plain request is made.
    if (IsFollowedRedirect(r)) {
      if (DowngradesFromHttps(r)) {
        r.redirectRefused = true;
        return 0;
      }
      r.redirectPending = true;
    } else if (!IsInterim(r.status)) {
      r.headersDone = true;
    }
    return line.size();
  }
  size_t colon = line.find(':');
  if (colon == std::string_view::npos) return line.size();
  std::string value = Trim(line.substr(colon + 1));
  if (NameIs(line, colon, "content-length")) {
    r.contentLength = value;
  } else if (NameIs(line, colon, "content-range")) {
    r.contentRange = value;
  } else if (NameIs(line, colon, "location")) {
    r.location = value;
  } else if (NameIs(line, colon, "etag")) {
    r.etag = value;
  } else if (NameIs(line, colon, "last-modified")) {
    r.lastModified = value;
  } else if (NameIs(line, colon, "retry-after")) {
    r.retryAfter = value;
  }
  return line.size();
}

size_t Unread(const Request& r) { return r.body.size() - r.readPos; }

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& r = *static_cast<Request*>(user);
  size_t length = size * count;
  if (Unread(r) == 0) {
    r.body.clear();
    r.readPos = 0;
  } else if (r.body.size() + length > kBodyBufferSize) {
    r.body.erase(r.body.begin(), r.body.begin() + static_cast<ptrdiff_t>(r.readPos));
    r.readPos = 0;
    if (r.body.size() + length > kBodyBufferSize) {
      r.paused = true;  // curl keeps these bytes and hands them over again once resumed
      return CURL_WRITEFUNC_PAUSE;
    }
  }
  r.body.insert(r.body.end(), data, data + length);
  return length;
}

// Lets curl work once and notes the end of the transfer.
void Perform(Request& r) {
  int running = 0;
  curl_multi_perform(r.multi, &running);
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(r.multi, &queued)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == r.easy) {
      r.done = true;
      r.result = message->data.result;
    }
  }
}

bool Aborted(const Request& r) { return r.abortSwitch != nullptr && r.abortSwitch->thrown; }

// Drives the transfer until `ready` holds, the transfer ends, it is aborted, or `deadline` passes.
template <typename Ready>
void DriveUntil(Request& r, Clock::time_point deadline, Ready ready) {
  for (;;) {
    if (Aborted(r)) return;
    Perform(r);
    if (ready() || r.done) return;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return;
    curl_multi_poll(r.multi, nullptr, 0, static_cast<int>(std::min<long long>(left.count(), 1000)), nullptr);
  }
}

// Percent-encodes what may not stand in a URL as it is (spaces, controls, non-ASCII as UTF-8).
std::string EncodeForUrl(std::u16string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : ToUtf8(text)) {
    if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' ||
        c == '{' || c == '|' || c == '}') {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    } else {
      encoded += static_cast<char>(c);
    }
  }
  return encoded;
}

std::string BuildUrl(const UrlParts& parts, const std::u16string& object) {
  std::string host = ToUtf8(parts.host);
  if (host.find(':') != std::string::npos) host = "[" + host + "]";
  std::string url = parts.scheme == Scheme::Https ? "https://" : "http://";
  url += host + ":" + std::to_string(parts.port);
  if (object.empty() || object.front() != u'/') url += '/';
  return url + EncodeForUrl(object);
}

void SetHeader(std::vector<std::string>& headers, std::string_view name, std::string_view value) {
  auto sameName = [&](const std::string& line) {
    size_t colon = line.find(':');
    return colon == name.size() && strncasecmp(line.c_str(), name.data(), name.size()) == 0;
  };
  headers.erase(std::remove_if(headers.begin(), headers.end(), sameName), headers.end());
  headers.push_back(std::string(name) + ": " + std::string(value));
}

void Configure(Request& r, const Connection& connection, uint32_t flags) {
  const Session& session = *connection.session;
  CURL* easy = r.easy;
  bool https = connection.parts.scheme == Scheme::Https;
  curl_easy_setopt(easy, CURLOPT_URL, r.url.c_str());
  curl_easy_setopt(easy, CURLOPT_USERAGENT, session.agent.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  // A secure address never continues over plain http (each later hop is judged as it comes).
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, https ? "https" : "http,https");
  r.reachedHttps = https;
  // Closing the request never waits for a name lookup still running on curl's resolver thread: a
  // cancel during a slow lookup ends at once, and the lookup finishes on its own.
  curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(kStallLimitMs));
  // Through a proxy, its answer to CONNECT is not the server's reply.
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeaderLine);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &r);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &r);
  // Certificates are verified in full (curl's default); the system's trust store, or the one
  // SSL_CERT_FILE names, as OpenSSL programs on this platform honour it.
  if (const char* caFile = std::getenv("SSL_CERT_FILE"); caFile != nullptr && *caFile != '\0') {
    curl_easy_setopt(easy, CURLOPT_CAINFO, caFile);
  }
  if (!connection.parts.user.empty()) {
    curl_easy_setopt(easy, CURLOPT_USERNAME, ToUtf8(connection.parts.user).c_str());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, ToUtf8(connection.parts.password).c_str());
  }
  if (flags & REQUEST_RELOAD) {
    SetHeader(r.headers, "Pragma", "no-cache");
    SetHeader(r.headers, "Cache-Control", "no-cache");
  }
}

}  // namespace

void Close(Session* handle) { delete handle; }
void Close(Connection* handle) { delete handle; }
void Close(AbortSwitch* handle) { delete handle; }

void Close(Request* handle) {
  if (handle == nullptr) return;
  if (AbortSwitch* abortSwitch = handle->abortSwitch) {
    std::lock_guard lock(abortSwitch->lock);
    auto& live = abortSwitch->requests;
    live.erase(std::remove(live.begin(), live.end(), handle), live.end());
  }
  if (handle->multi != nullptr && handle->easy != nullptr)
    curl_multi_remove_handle(handle->multi, handle->easy);
  if (handle->easy != nullptr) curl_easy_cleanup(handle->easy);
  if (handle->multi != nullptr) curl_multi_cleanup(handle->multi);
  curl_slist_free_all(handle->headerList);
  delete handle;
}

SessionHandle OpenSession(const std::u16string& agent) {
  InitCurlOnce();
  return SessionHandle(new Session{ToUtf8(agent)});
}

AbortSwitchHandle CreateAbortSwitch() { return AbortSwitchHandle(new AbortSwitch); }

void Abort(AbortSwitch& abortSwitch) {
  abortSwitch.thrown = true;
  std::lock_guard lock(abortSwitch.lock);
  for (Request* request : abortSwitch.requests) curl_multi_wakeup(request->multi);
}

ConnectionHandle Connect(Session& session, const UrlParts& parts, AbortSwitch* abortSwitch) {
  if (parts.scheme != Scheme::Http && parts.scheme != Scheme::Https) return nullptr;
  if (parts.host.empty() || parts.port == 0) return nullptr;
  if (abortSwitch != nullptr && abortSwitch->thrown) return nullptr;
  return ConnectionHandle(new Connection{&session, parts, abortSwitch});
}

RequestHandle OpenRequest(Connection& connection, const char16_t* verb, const std::u16string& object,
                          std::initializer_list<const char16_t*> acceptTypes, uint32_t flags) {
  if (verb != nullptr && std::u16string_view(verb) != u"GET") return nullptr;  // only GET is needed
  RequestHandle request(new Request);
  request->multi = curl_multi_init();
  request->easy = curl_easy_init();
  if (request->multi == nullptr || request->easy == nullptr) return nullptr;
  if (AbortSwitch* abortSwitch = connection.abortSwitch) {
    std::lock_guard lock(abortSwitch->lock);
    abortSwitch->requests.push_back(request.get());
    request->abortSwitch = abortSwitch;
  }
  request->url = BuildUrl(connection.parts, object);
  std::string accept;
  for (const char16_t* type : acceptTypes) accept += (accept.empty() ? "" : ", ") + ToUtf8(type);
  if (!accept.empty()) SetHeader(request->headers, "Accept", accept);
  Configure(*request, connection, flags);
  return request;
}

bool AddRequestHeader(Request& request, const std::u16string& line) {
  std::string text = ToUtf8(line);
  size_t colon = text.find(':');
  if (colon == 0 || colon == std::string::npos || request.started) return false;
  SetHeader(request.headers, Trim(std::string_view(text).substr(0, colon)),
            Trim(std::string_view(text).substr(colon + 1)));
  return true;
}

namespace {

// How a transfer that ended without a reply ended: refused rather than lost, or failed.
SendResult WithoutReply(CURLcode result) {
  switch (result) {
    case CURLE_PEER_FAILED_VERIFICATION:  // the certificate: its chain, dates or name
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
      return SendResult::CertificateRefused;
    case CURLE_UNSUPPORTED_PROTOCOL:  // a redirect to a scheme this request may not take
    case CURLE_TOO_MANY_REDIRECTS:
      return SendResult::RedirectRefused;
    default:
      return SendResult::Failed;
  }
}

}  // namespace

SendResult SendRequest(Request& request) {
  if (request.started || Aborted(request)) return SendResult::Failed;
  request.started = true;
  for (const std::string& line : request.headers) {
    curl_slist* next = curl_slist_append(request.headerList, line.c_str());
    if (next == nullptr) return SendResult::Failed;
    request.headerList = next;
  }
  curl_easy_setopt(request.easy, CURLOPT_HTTPHEADER, request.headerList);
  if (curl_multi_add_handle(request.multi, request.easy) != CURLM_OK) return SendResult::Failed;
  DriveUntil(request, Clock::now() + kStallLimit, [&] { return request.headersDone; });
  // A body that fails after the headers is reported by the reads.
  if (request.headersDone && !Aborted(request)) return SendResult::Replied;
  if (request.redirectRefused) return SendResult::RedirectRefused;
  return request.done ? WithoutReply(request.result) : SendResult::Failed;
}

bool QueryStatusCode(Request& request, uint32_t& status) {
  if (!request.headersDone) return false;
  status = request.status;
  return true;
}

bool QueryRedirects(Request& request, std::vector<std::u16string>& addresses) {
  if (!request.headersDone) return false;
  addresses = request.redirects;
  return true;
}

bool QueryHeader(Request& request, Header header, std::u16string& value) {
  if (!request.headersDone) return false;
  const std::optional<std::string>& field = [&]() -> const std::optional<std::string>& {
    switch (header) {
      case Header::ContentLength:
        return request.contentLength;
      case Header::ContentRange:
        return request.contentRange;
      case Header::ETag:
        return request.etag;
      case Header::LastModified:
        return request.lastModified;
      case Header::RetryAfter:
        break;
    }
    return request.retryAfter;
  }();
  if (!field) return false;
  value = FromUtf8(*field);
  return true;
}

Availability QueryDataAvailable(Request& request, uint32_t& count) {
  count = 0;
  if (!request.headersDone || Aborted(request)) return Availability::Failed;
  if (Unread(request) == 0 && request.paused) {
    request.paused = false;
    curl_easy_pause(request.easy, CURLPAUSE_CONT);
  }
  if (Unread(request) == 0 && !request.done) {
    DriveUntil(request, Clock::now() + kStallLimit, [&] { return Unread(request) > 0; });
  }
  if (Aborted(request)) return Availability::Failed;
  if (Unread(request) > 0) {
    count = static_cast<uint32_t>(std::min<size_t>(Unread(request), UINT32_MAX));
    return Availability::Ready;
  }
  if (!request.done) return Availability::Failed;  // silent for the stall limit
  return request.result == CURLE_OK ? Availability::Ready : Availability::Failed;
}

bool ReadData(Request& request, void* buffer, uint32_t size, uint32_t& read) {
  size_t n = std::min<size_t>(size, Unread(request));
  if (n > 0) std::memcpy(buffer, request.body.data() + request.readPos, n);
  request.readPos += n;
  read = static_cast<uint32_t>(n);
  return true;
}

// libcurl takes its proxy from the environment, as every curl program does.
std::u16string ProxySettings(Session&) {
  std::string text;
  auto add = [&text](const char* name) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') text += (text.empty() ? "" : ", ") + std::string(name) + "=" + value;
  };
  for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) add(name);
  if (text.empty()) return {};
  add("no_proxy");
  add("NO_PROXY");
  return FromUtf8(text);
}

}  // namespace platform::http
