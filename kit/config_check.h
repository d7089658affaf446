// The configuration as the installer reads it: whether it is well-formed, which of its elements the
// installer never sees because of their order, and the values it would refuse or misread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kit/findings.h"

namespace kit {

// A link element of the configuration ("rlink" or "patch") and where it stands.
struct ConfigLink {
  std::u16string url;
  std::u16string sha256;  // the published digest; empty when the link has none
  std::string element;
  int32_t line = 0;
  int32_t column = 0;
};

struct ConfigReport {
  bool readable = false;  // the installer can read the file and find its product
  std::u16string signer;  // the common name the installer's signer must carry; empty: none
  std::u16string report;  // the address the installer reports each run to; empty: none
  std::vector<ConfigLink> links;
};

ConfigReport CheckConfiguration(const std::u16string& folder, Findings& findings);

// The configuration element holding `url`, the first in document order; nullptr when none does.
const ConfigLink* FindLink(const ConfigReport& report, const std::u16string& url);

}  // namespace kit
