// The check: configuration, the eight systems, texts, skin and, on request, the links online.
#include "kit/check_command.h"

#include <chrono>
#include <cstdio>

#include "app/run_report.h"
#include "kit/languages_check.h"
#include "kit/pack_command.h"
#include "kit/skin_check.h"
#include "kit/text_width_check.h"
#include "kit/texts_check.h"
#include "kit/vendor_folder.h"
#include "platform/utf.h"

namespace kit {
namespace {

// One GET to the report address, as the installer sends it at the end of a run but marked as the
// kit's ("outcome=check"), so that the vendor's counts can leave it out.
void ProbeReportAddress(const std::u16string& address, Findings& findings, std::ostream& progress) {
  const auto start = std::chrono::steady_clock::now();
  const ReportReply reply = SendReport(WithQuery(address, "outcome=check"));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char time[32];
  std::snprintf(time, sizeof time, ", %.2f s", seconds);
  const std::string said = DescribeReportReply(reply);
  progress << "probed report " << platform::ToUtf8(address) << ": " << said << time << std::endl;
  const bool heard = reply.outcome == platform::http::SendResult::Replied && reply.status < 400;
  if (!heard) {
    findings.Add(platform::ToUtf8(kConfigFileName),
                 "report " + platform::ToUtf8(address) + ": " + said + ": the installer's reports are lost");
  }
}

}  // namespace

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
    if (IsReportAddress(report.config.report)) ProbeReportAddress(report.config.report, report.findings, progress);
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
