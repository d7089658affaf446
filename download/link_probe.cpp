// The probe's request, once more, with its reply kept for the report; and the installer's own
// probe for the size it would use.
#include "download/link_probe.h"

#include "download/http_transfer.h"
#include "platform/http.h"

namespace {

using namespace platform::http;

std::optional<uint64_t> ParseLength(const std::u16string& text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  uint64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    const uint64_t digit = c - u'0';
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

void ReadReply(Session& session, const std::u16string& url, LinkProbe& probe) {
  UrlParts parts;
  if (!SplitUrl(url, parts)) return;
  const ConnectionHandle connection = Connect(session, parts);
  if (!connection) return;
  uint32_t flags = REQUEST_RELOAD | REQUEST_NO_UI;
  if (parts.scheme == Scheme::Https) flags |= REQUEST_SECURE;
  const RequestHandle request =
      OpenRequest(*connection, nullptr, parts.path + parts.extra, {u"application/xml", u"*/*"}, flags);
  if (!request || !SendRequest(*request) || !QueryStatusCode(*request, probe.status)) return;
  probe.replied = true;
  QueryFinalUrl(*request, probe.finalUrl);
  std::u16string length;
  if (QueryHeader(*request, Header::ContentLength, length)) probe.size = ParseLength(length);
}

}  // namespace

LinkProbe ProbeLink(const std::u16string& url) {
  LinkProbe probe;
  const SessionHandle session = OpenSession(u"Kestrix_WebInstaller");
  if (!session) return probe;
  ReadReply(*session, url, probe);
  if (probe.replied && OpenInternetSession()) probe.sizeProbed = ProbeSize(url);
  return probe;
}
