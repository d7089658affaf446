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

using platform::http::SendResult;

std::string Problem(const ProbeReply& probe) {
  switch (probe.outcome) {
    case SendResult::Replied:
      break;
    case SendResult::Failed:
      return "no reply: the server cannot be reached";
    case SendResult::CertificateRefused:
      return "refused: the server's certificate was not accepted (name, dates or issuer)";
    case SendResult::RedirectRefused:
      return "refused: redirected from https to http, or too many times";
  }
  if (!StatusDownloads(probe.status)) {
    return "the server answers with status " + std::to_string(probe.status) +
           ": the installer downloads nothing from it";
  }
  if (probe.size == 0)
    return "the reply announces no length: the installer cannot learn the size and downloads nothing";
  return {};
}

LinkProbeReport Probe(const ConfigLink& link, const std::u16string& signer) {
  const auto start = std::chrono::steady_clock::now();
  LinkProbeReport report;
  report.link = link;
  if (OpenInternetSession()) report.probe = ProbeLink(link.url);
  if (Problem(report.probe).empty() && (!link.sha256.empty() || !signer.empty())) {
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
    std::string problem = Problem(reports.back().probe);
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

const char* RefusalKind(const ProbeReply& probe) {
  switch (probe.outcome) {
    case SendResult::CertificateRefused:
      return "certificate";
    case SendResult::RedirectRefused:
      return "redirect";
    default:
      return "";
  }
}

namespace {

std::string Outcome(const ProbeReply& probe) {
  if (probe.outcome == SendResult::Replied)
    return "status " + std::to_string(probe.status) + ", size " + std::to_string(probe.size);
  const std::string refusal = RefusalKind(probe);
  return refusal.empty() ? "no reply" : "refused (" + refusal + ")";
}

}  // namespace

const std::u16string& FinalAddress(const LinkProbeReport& r) {
  return r.probe.redirects.empty() ? r.link.url : r.probe.redirects.back();
}

std::string DescribeProbe(const LinkProbeReport& r) {
  const ProbeReply& probe = r.probe;
  std::string line = platform::ToUtf8(r.link.url) + ": " + Outcome(probe);
  if (!probe.redirects.empty()) {
    line += ", redirected: " + platform::ToUtf8(r.link.url);
    for (const std::u16string& hop : probe.redirects) line += " -> " + platform::ToUtf8(hop);
  }
  if (r.fileChecked) line += ", " + r.file.report;
  char time[32];
  std::snprintf(time, sizeof time, ", %.2f s", r.seconds);
  return line + time;
}

}  // namespace kit
