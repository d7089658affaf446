// A look at one download link with the size probe's request (the same session settings, request
// flags, certificate checks and redirect rules), reporting what the reply said instead of only
// the size. For tools that check links before they are shipped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct LinkProbe {
  bool replied = false;          // the request was sent and a reply came
  uint32_t status = 0;           // the reply's status code
  std::optional<uint64_t> size;  // the announced length, as the probe reads it
  std::u16string finalUrl;       // where the reply came from, after redirects
  uint64_t sizeProbed = 0;       // what the installer's probe makes of this reply (0: no size)
};

// Opens its own session with the installer's agent name; never reads the body.
LinkProbe ProbeLink(const std::u16string& url);
