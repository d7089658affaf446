// The HTTP seam: what the download engine and the installer's address check need of an HTTP
// client, shaped after a synchronous client library: a session, address canonicalising and
// splitting, connections, requests, status and header queries, bytes available and reads.
// WinINet on Windows; libcurl behind a pull adaptor on Linux.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace platform::http {

enum class Scheme { Other, Http, Https, Ftp };

// The parts of an address, as the split gives them.
struct UrlParts {
  Scheme scheme = Scheme::Other;
  std::u16string host;
  uint16_t port = 0;  // the scheme's default when the address names none
  std::u16string user;
  std::u16string password;
  std::u16string path;   // the URL path
  std::u16string extra;  // the query (and fragment), with its leading '?' or '#'
};

// Splits an address as it stands; false when it cannot be split (no scheme, a bad port, a part
// longer than 4,095 characters).
bool SplitUrl(const std::u16string& url, UrlParts& parts);

// The installer's address test: true when the address can be put into canonical form the way a
// browser would and then split, with at most 2,083 characters of host name and of object.
bool CanonicalizeAndSplit(const std::u16string& url);

// Opaque handles, each closed by its owner; a request is closed before its connection and a
// connection before its session.
struct Session;
struct Connection;
struct Request;
struct AbortSwitch;
void Close(Session* handle);
void Close(Connection* handle);
void Close(Request* handle);
void Close(AbortSwitch* handle);
struct Closer {
  template <typename Handle>
  void operator()(Handle* handle) const {
    Close(handle);
  }
};
using SessionHandle = std::unique_ptr<Session, Closer>;
using ConnectionHandle = std::unique_ptr<Connection, Closer>;
using RequestHandle = std::unique_ptr<Request, Closer>;
using AbortSwitchHandle = std::unique_ptr<AbortSwitch, Closer>;

// Request options (joined with |).
enum RequestFlags : uint32_t {
  REQUEST_RELOAD = 1,           // always ask the server, never a cache
  REQUEST_NO_CACHE_WRITE = 2,   // keep the reply out of any cache
  REQUEST_KEEP_CONNECTION = 4,  // ask for the connection to be kept alive
  REQUEST_SECURE = 8,           // TLS with full certificate verification
  REQUEST_NO_UI = 16,           // never show platform user interface
  REQUEST_NO_COOKIES = 32,      // send no stored cookie and keep none from the reply
};

// How long the network may stay silent (connecting, sending, waiting for the reply's headers or for
// body bytes) before a call gives up.
inline constexpr uint32_t kStallLimitMs = 30000;

// The session with the platform's proxy settings; redirects are followed up to a limit, and a
// secure request never takes a hop to plain http. Null on failure.
SessionHandle OpenSession(const std::u16string& agent);

// A switch through which one thread stops the network calls that another thread makes on the
// connections (and their requests) opened with it. It must outlive them.
AbortSwitchHandle CreateAbortSwitch();
// Throws the switch, from any thread, once or more: a call waiting on the network returns failure
// (at once on Windows and Linux; Wine's WinINet first finishes a call already blocked), and every
// later call fails at once. A switch stays thrown.
void Abort(AbortSwitch& abortSwitch);

// A connection to the host and port of `parts`, stopped by `abortSwitch` when given. Null on failure.
ConnectionHandle Connect(Session& session, const UrlParts& parts, AbortSwitch* abortSwitch = nullptr);
// A request for `object` (path and query) on the connection; a null verb means GET. `acceptTypes`
// are the media types offered in Accept. Null on failure.
RequestHandle OpenRequest(Connection& connection, const char16_t* verb, const std::u16string& object,
                          std::initializer_list<const char16_t*> acceptTypes, uint32_t flags);
// Adds one header line ("Name:value", no line end), replacing a header of the same name.
bool AddRequestHeader(Request& request, const std::u16string& line);

enum class SendResult {
  Replied,             // the reply's headers are here
  Failed,              // no reply: no connection, a reset, the stall limit, an abort
  CertificateRefused,  // the server's certificate was refused: its issuer, its dates or its name
  RedirectRefused,     // a redirect was refused: from https to http (with libcurl also to another
                       // scheme, or one hop past the limit)
};
// Sends the request and waits for the reply's headers.
SendResult SendRequest(Request& request);
// The reply's status code.
bool QueryStatusCode(Request& request, uint32_t& status);
// The addresses the session was redirected to on the way to the reply, in order (the last is the
// one the reply came from); none when it came from the request's own address. False before a reply.
bool QueryRedirects(Request& request, std::vector<std::u16string>& addresses);

enum class Header { ContentLength, ContentRange, ETag, LastModified, RetryAfter };
// The value of one reply header as text; false when the reply has no such header.
bool QueryHeader(Request& request, Header header, std::u16string& value);

enum class Availability {
  Ready,   // `count` bytes can be read now; 0 means the body has ended
  Failed,  // the connection failed, the body ended before its announced length, the network was
           // silent for the stall limit, or the request was aborted
};
// How many body bytes can be read; waits for them at most the stall limit.
Availability QueryDataAvailable(Request& request, uint32_t& count);
// Reads up to `size` body bytes; `read` is how many came. False on failure.
bool ReadData(Request& request, void* buffer, uint32_t size, uint32_t& read);

// The proxy the session's requests go through as the system's settings name it, with the hosts that
// bypass it; empty when the settings name none and requests go direct.
std::u16string ProxySettings(Session& session);

}  // namespace platform::http
