// Address splitting for the http seam on POSIX, as lenient as the Windows client library: any
// text with a scheme before a colon splits; "//" introduces the authority.
#include <algorithm>

#include "platform/http.h"

namespace platform::http {
namespace {

constexpr size_t kMaxSplitPart = 4095;    // the split's buffers hold 4,096 units
constexpr size_t kMaxCheckedPart = 2083;  // the address test's room for host and object

bool IsSchemeChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'+' ||
         c == u'-' || c == u'.';
}

Scheme SchemeOf(std::u16string_view name) {
  std::u16string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; });
  if (lower == u"http") return Scheme::Http;
  if (lower == u"https") return Scheme::Https;
  if (lower == u"ftp") return Scheme::Ftp;
  return Scheme::Other;
}

uint16_t DefaultPort(Scheme scheme) {
  switch (scheme) {
    case Scheme::Http:
      return 80;
    case Scheme::Https:
      return 443;
    case Scheme::Ftp:
      return 21;
    default:
      return 0;
  }
}

bool ParsePort(std::u16string_view text, uint16_t& port) {
  if (text.empty() || text.size() > 5) return false;
  uint32_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + (c - u'0');
  }
  if (value > 65535) return false;
  port = static_cast<uint16_t>(value);
  return true;
}

// "user:password@host:port"; a host in brackets (IPv6) keeps its colons.
bool SplitAuthority(std::u16string_view authority, UrlParts& parts) {
  size_t at = authority.rfind(u'@');
  if (at != std::u16string_view::npos) {
    std::u16string_view userInfo = authority.substr(0, at);
    size_t colon = userInfo.find(u':');
    parts.user = userInfo.substr(0, colon);
    if (colon != std::u16string_view::npos) parts.password = userInfo.substr(colon + 1);
    authority.remove_prefix(at + 1);
  }
  size_t colon = authority.rfind(u':');
  size_t bracket = authority.rfind(u']');
  if (colon != std::u16string_view::npos && (bracket == std::u16string_view::npos || colon > bracket)) {
    if (!ParsePort(authority.substr(colon + 1), parts.port)) return false;
    authority = authority.substr(0, colon);
  }
  if (authority.size() >= 2 && authority.front() == u'[' && authority.back() == u']') {
    authority = authority.substr(1, authority.size() - 2);
  }
  parts.host = authority;
  return true;
}

bool Split(const std::u16string& url, UrlParts& parts, size_t maxPart) {
  parts = UrlParts{};
  size_t colon = url.find(u':');
  if (colon == std::u16string::npos) return false;
  std::u16string_view text(url);
  std::u16string_view scheme = text.substr(0, colon);
  if (!std::all_of(scheme.begin(), scheme.end(), IsSchemeChar)) return false;
  parts.scheme = SchemeOf(scheme);
  parts.port = DefaultPort(parts.scheme);
  std::u16string_view rest = text.substr(colon + 1);
  if (rest.substr(0, 2) == u"//") {
    rest.remove_prefix(2);
    size_t end = rest.find_first_of(u"/?#");
    if (end == std::u16string_view::npos) end = rest.size();
    if (!SplitAuthority(rest.substr(0, end), parts)) return false;
    rest.remove_prefix(end);
  }
  size_t query = rest.find_first_of(u"?#");
  if (query == std::u16string_view::npos) query = rest.size();
  parts.path = rest.substr(0, query);
  parts.extra = rest.substr(query);
  for (const std::u16string* part : {&parts.host, &parts.user, &parts.password, &parts.path, &parts.extra}) {
    if (part->size() > maxPart) return false;
  }
  return true;
}

}  // namespace

bool SplitUrl(const std::u16string& url, UrlParts& parts) { return Split(url, parts, kMaxSplitPart); }

bool CanonicalizeAndSplit(const std::u16string& url) {
  UrlParts parts;
  return !url.empty() && Split(url, parts, kMaxCheckedPart) &&
         parts.path.size() + parts.extra.size() <= kMaxCheckedPart;
}

}  // namespace platform::http
