// What each of the eight systems the installer tells apart would download with this configuration,
// without and with an installed copy of the product, worked out by the installer's own reader.
#pragma once

#include <string>
#include <vector>

#include "kit/config_check.h"

namespace kit {

struct SystemOutcome {
  std::string system;  // "Windows 7 64-bit"
  bool installed = false;
  std::string message;    // a message box instead of a download; empty when something is downloaded
  bool patch = false;     // the first link is the entry's patch
  bool ownEntry = false;  // the configuration has an entry for this system (else only the default)
  bool noPatch = false;   // installed, but the entry has no patch: the full installer again
  std::u16string first;
  std::u16string fallback;
};

std::vector<SystemOutcome> BuildSystemTable(const std::u16string& folder);

// What the system gets, for a person, with the configuration lines the links come from.
std::string DescribeOutcome(const SystemOutcome& outcome, const ConfigReport& config);

// The table for a person: one line per system when an installed copy changes nothing, else two.
std::vector<std::string> DescribeTable(const std::vector<SystemOutcome>& table, const ConfigReport& config);

}  // namespace kit
