// One request of the download engine over the http seam: the process-wide internet session, and
// a connection with its request opened on it, closed together (the request first).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "platform/http.h"

struct OpenedRequest {
  // Members go in reverse order, so the request is closed before its connection.
  platform::http::ConnectionHandle connection;
  platform::http::RequestHandle request;
};

// Splits `url`, connects on the engine's session (stopped by `abortSwitch` when given) and opens
// the request; false at the first step that fails. Secure addresses get full certificate
// verification.
bool OpenHttpRequest(const std::u16string& url, const char16_t* verb,
                     std::initializer_list<const char16_t*> acceptTypes, uint32_t flags,
                     platform::http::AbortSwitch* abortSwitch, OpenedRequest& opened);
// The same on a session of the caller's own.
bool OpenHttpRequestOn(platform::http::Session& session, const std::u16string& url, const char16_t* verb,
                       std::initializer_list<const char16_t*> acceptTypes, uint32_t flags,
                       platform::http::AbortSwitch* abortSwitch, OpenedRequest& opened);

// A reply header's value, or nothing when the reply has no such header.
std::optional<std::u16string> ReplyHeader(platform::http::Request& request, platform::http::Header header);

// "Range:bytes=first-last".
std::u16string RangeHeaderLine(uint64_t first, uint64_t last);
