// The check: configuration, the eight systems, texts, skin and, on request, the links online.
#include "kit/check_command.h"

#include "kit/pack_command.h"
#include "kit/languages_check.h"
#include "kit/skin_check.h"
#include "kit/text_width_check.h"
#include "kit/texts_check.h"

namespace kit {

CheckReport CheckFolder(const std::u16string& folder, bool online, std::ostream& progress) {
  CheckReport report;
  report.folder = folder;
  report.config = CheckConfiguration(folder, report.findings);
  if (report.config.readable) report.systems = BuildSystemTable(folder);
  report.textsEncoding = CheckTexts(folder, report.findings);
  CheckLanguages(folder, report.findings);
  CheckSkin(folder, report.findings);
  CheckTextWidths(folder, report.findings);
  report.online = online;
  if (online) {
    report.links = ProbeLinks(report.config, report.findings, [&](const LinkProbeReport& link) {
      progress << "probed " << DescribeProbe(link) << std::endl;
    });
  }
  return report;
}

int RunCheck(const Command& command, std::ostream& out, std::ostream& progress) {
  return WithVendorFolder(command.input, progress, [&](const std::u16string& folder) {
    CheckReport report = CheckFolder(folder, command.online, progress);
    report.folder = command.input;
    if (command.json) {
      PrintJson(report, out);
    } else {
      PrintText(report, out);
    }
    return report.findings.Empty() ? 0 : 1;
  });
}

}  // namespace kit
