// `torvin-kit check`: reads a vendor's folder (or the files packed into an installer) as the
// installer would and reports what to fix.
#pragma once

#include <ostream>

#include "kit/check_report.h"
#include "kit/command_line.h"

namespace kit {

// Every offline check of the folder, and the links' probes with `online`; `progress` gets a line
// per probed link as it finishes.
CheckReport CheckFolder(const std::u16string& folder, bool online, std::ostream& progress);

// Prints the report (JSON with command.json) to `out`; 0 when there is nothing to fix, 1 otherwise
// (also when a packed installer's files cannot be read, which `progress` then says).
int RunCheck(const Command& command, std::ostream& out, std::ostream& progress);

}  // namespace kit
