// Everything `check` learned about a folder, and its two printed forms: lines for a person and
// JSON for a build pipeline.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "kit/config_check.h"
#include "kit/findings.h"
#include "kit/link_probe_report.h"
#include "kit/system_table.h"

namespace kit {

struct CheckReport {
  std::u16string folder;
  Findings findings;
  ConfigReport config;
  std::vector<SystemOutcome> systems;
  std::string textsEncoding;  // empty without a texts file
  bool online = false;
  std::vector<LinkProbeReport> links;  // with --online
};

// "file:line:column: message" per finding (the place left out when the finding has none).
void PrintFindings(const Findings& findings, std::ostream& out);
// The findings, then what each system downloads, the texts file's encoding, the links' probes and
// a closing count.
void PrintText(const CheckReport& report, std::ostream& out);
void PrintJson(const CheckReport& report, std::ostream& out);

}  // namespace kit
