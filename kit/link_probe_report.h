// `check --online`: every link of the configuration probed as the installer probes it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "download/http_transfer.h"
#include "kit/config_check.h"
#include "kit/findings.h"
#include "kit/installer_file_check.h"

namespace kit {

struct LinkProbeReport {
  ConfigLink link;
  ProbeReply probe;  // what the installer's probe learns
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

// One line for a person: the link, status, size, every address it was redirected to and the time.
std::string DescribeProbe(const LinkProbeReport& report);

// Why a probe got no reply when the client refused the server: "certificate" or "redirect"; empty
// for a reply or a plain failure.
const char* RefusalKind(const ProbeReply& probe);

// The address the reply came from: the link's own, or the last redirect's.
const std::u16string& FinalAddress(const LinkProbeReport& report);

}  // namespace kit
