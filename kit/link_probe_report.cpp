// Probing the configuration's links and judging the replies by what the installer accepts.
#include "kit/link_probe_report.h"

#include <chrono>
#include <cstdio>

#include "download/http_transfer.h"
#include "kit/vendor_folder.h"
#include "platform/utf.h"

namespace kit {
namespace {

// The ranged transfer writes only what a 200 or 206 reply carries.
bool StatusDownloads(uint32_t status) { return status == 200 || status == 206; }

std::string Problem(const LinkProbeReport& r) {
  if (!r.replied) {
    return "no reply: the server cannot be reached, its certificate was refused (name, dates or issuer), or "
           "it "
           "redirected from https to http";
  }
  if (!StatusDownloads(r.status)) {
    return "the server answers with status " + std::to_string(r.status) +
           ": the installer downloads nothing from it";
  }
  if (r.size == 0)
    return "the reply announces no length: the installer cannot learn the size and downloads nothing";
  return {};
}

LinkProbeReport Probe(const ConfigLink& link, const std::u16string& signer) {
  const auto start = std::chrono::steady_clock::now();
  const ProbeReply probe = OpenInternetSession() ? ProbeLink(link.url) : ProbeReply{};
  LinkProbeReport report;
  report.link = link;
  report.replied = probe.replied;
  report.status = probe.status;
  report.size = probe.size;
  report.finalUrl = probe.finalUrl;
  if (Problem(report).empty() && (!link.sha256.empty() || !signer.empty())) {
    report.fileChecked = true;
    report.file = DownloadAndVerify(link.url, InstallerChecks{link.sha256, signer});
  }
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return report;
}

}  // namespace

std::vector<LinkProbeReport> ProbeLinks(const ConfigReport& config, Findings& findings,
                                        const std::function<void(const LinkProbeReport&)>& progress) {
  std::vector<LinkProbeReport> reports;
  for (const ConfigLink& link : config.links) {
    if (link.url.empty() || FindLink(config, link.url) != &link) continue;  // each address once
    reports.push_back(Probe(link, config.signer));
    progress(reports.back());
    std::string problem = Problem(reports.back());
    if (problem.empty() && reports.back().fileChecked && !reports.back().file.passed) {
      problem = "the installer would refuse the file: " + reports.back().file.report;
    }
    if (!problem.empty()) {
      findings.Add(platform::ToUtf8(kConfigFileName), link.line, link.column,
                   platform::ToUtf8(link.url) + ": " + problem);
    }
  }
  return reports;
}

std::string DescribeProbe(const LinkProbeReport& r) {
  std::string line = platform::ToUtf8(r.link.url) + ": ";
  line += r.replied ? "status " + std::to_string(r.status) + ", size " + std::to_string(r.size) : "no reply";
  if (r.replied && r.finalUrl != r.link.url) line += ", redirected to " + platform::ToUtf8(r.finalUrl);
  if (r.fileChecked) line += ", " + r.file.report;
  char time[32];
  std::snprintf(time, sizeof time, ", %.2f s", r.seconds);
  return line + time;
}

}  // namespace kit
