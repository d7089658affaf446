// The internet session and the opening of the engine's requests.
#include "download/http_request.h"

#include "download/download_log.h"
#include "download/http_transfer.h"

namespace {

using namespace platform::http;

SessionHandle InternetSession;

// Every request of the session takes the system's proxy settings; the log says once which they are.
void LogProxySettings(Session& session) {
  const std::u16string proxy = ProxySettings(session);
  if (proxy.empty()) {
    LogDownloadStep({"internet session: direct, no proxy set"});
  } else {
    LogDownloadStep({"internet session: proxy ", proxy}, DownloadStep::SessionThroughProxy);
  }
}

}  // namespace

bool OpenInternetSession() {
  if (InternetSession) return true;
  InternetSession = OpenSession(u"Kestrix_WebInstaller");
  if (InternetSession) LogProxySettings(*InternetSession);
  return InternetSession != nullptr;
}

void CloseInternetSession() { InternetSession.reset(); }

bool OpenHttpRequest(const std::u16string& url, const char16_t* verb,
                     std::initializer_list<const char16_t*> acceptTypes, uint32_t flags,
                     AbortSwitch* abortSwitch, OpenedRequest& opened) {
  return InternetSession && OpenHttpRequestOn(*InternetSession, url, verb, acceptTypes, flags, abortSwitch, opened);
}

bool OpenHttpRequestOn(Session& session, const std::u16string& url, const char16_t* verb,
                       std::initializer_list<const char16_t*> acceptTypes, uint32_t flags,
                       AbortSwitch* abortSwitch, OpenedRequest& opened) {
  UrlParts parts;
  if (!SplitUrl(url, parts)) return false;
  opened.connection = Connect(session, parts, abortSwitch);
  if (!opened.connection) return false;
  if (parts.scheme == Scheme::Https) flags |= REQUEST_SECURE;
  opened.request = OpenRequest(*opened.connection, verb, parts.path + parts.extra, acceptTypes, flags);
  return opened.request != nullptr;
}

std::optional<std::u16string> ReplyHeader(Request& request, Header header) {
  std::u16string value;
  if (!QueryHeader(request, header, value)) return std::nullopt;
  return value;
}

std::u16string RangeHeaderLine(uint64_t first, uint64_t last) {
  return platform::FromUtf8(platform::JoinUtf8({"Range:bytes=", first, "-", last}));
}
