// `check --online`: every link of the configuration probed as the installer probes it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kit/config_check.h"
#include "kit/findings.h"
#include "kit/installer_file_check.h"

namespace kit {

struct LinkProbeReport {
  ConfigLink link;
  bool replied = false;
  uint32_t status = 0;
  uint64_t size = 0;  // what the installer's probe learns; 0: no size
  std::u16string finalUrl;
  double seconds = 0;
  bool fileChecked = false;  // the link has a digest, or a signer is required: the file was checked
  FileCheck file;
};

// Probes each distinct link once, in document order; `progress` gets each report as it finishes.
// A link with a digest (or any link, when a signer is required) is downloaded and checked as the
// installer checks it. A link the installer could not download from, or whose file it would
// refuse, is a finding.
std::vector<LinkProbeReport> ProbeLinks(const ConfigReport& config, Findings& findings,
                                        const std::function<void(const LinkProbeReport&)>& progress);

// One line for a person: the link, status, size, where it ended after redirects and the time.
std::string DescribeProbe(const LinkProbeReport& report);

}  // namespace kit
