// The HTTP seam: what the download engine and the installer's address check need of an HTTP
// client, shaped after a synchronous client library: a session, address canonicalising and
// splitting, connections, requests, status and header queries, bytes available and reads.
// WinINet on Windows; libcurl behind a pull adaptor on Linux.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

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
void Close(Session* handle);
void Close(Connection* handle);
void Close(Request* handle);
struct Closer {
  template <typename Handle>
  void operator()(Handle* handle) const {
    Close(handle);
  }
};
using SessionHandle = std::unique_ptr<Session, Closer>;
using ConnectionHandle = std::unique_ptr<Connection, Closer>;
using RequestHandle = std::unique_ptr<Request, Closer>;

// Request options (joined with |).
enum RequestFlags : uint32_t {
  REQUEST_RELOAD = 1,           // always ask the server, never a cache
  REQUEST_NO_CACHE_WRITE = 2,   // keep the reply out of any cache
  REQUEST_KEEP_CONNECTION = 4,  // ask for the connection to be kept alive
  REQUEST_SECURE = 8,           // TLS with full certificate verification
  REQUEST_NO_UI = 16,           // never show platform user interface
};

// The session with the platform's proxy settings; redirects are followed up to a limit, never from
// https to http. Null on failure.
SessionHandle OpenSession(const std::u16string& agent);
// A connection to the host and port of `parts`. Null on failure.
ConnectionHandle Connect(Session& session, const UrlParts& parts);
// A request for `object` (path and query) on the connection; a null verb means GET. `acceptTypes`
// are the media types offered in Accept. Null on failure.
RequestHandle OpenRequest(Connection& connection, const char16_t* verb, const std::u16string& object,
                          std::initializer_list<const char16_t*> acceptTypes, uint32_t flags);
// Adds one header line ("Name:value", no line end), replacing a header of the same name.
bool AddRequestHeader(Request& request, const std::u16string& line);
// Sends the request and waits for the reply's headers (a bounded time: tens of seconds of silence
// fail it). False when no reply came, or the certificate or a redirect was refused.
bool SendRequest(Request& request);
// The reply's status code.
bool QueryStatusCode(Request& request, uint32_t& status);
// The address the reply came from, after any redirects the session followed; false before a reply.
bool QueryFinalUrl(Request& request, std::u16string& url);

enum class Header { ContentLength, ContentRange };
// The value of one reply header as text; false when the reply has no such header.
bool QueryHeader(Request& request, Header header, std::u16string& value);

enum class Availability {
  Ready,   // `count` bytes can be read now; 0 means the body has ended
  Silent,  // no data came within about a second; ask again
  Failed,  // the connection failed or the body ended before its announced length
};
// How many body bytes can be read; waits at most about a second for them.
Availability QueryDataAvailable(Request& request, uint32_t& count);
// Reads up to `size` body bytes; `read` is how many came. False on failure.
bool ReadData(Request& request, void* buffer, uint32_t size, uint32_t& read);

}  // namespace platform::http
