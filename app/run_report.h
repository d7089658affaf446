// The opt-in report for the vendor: when the product names a `report` address (https only), one
// GET to it at the end of every run, with the outcome and its error code, the time of each phase,
// the bytes received and the size, tries and restarts, the installer's version, the Windows
// version, bitness, display scale, language and whether a proxy was used. Nothing that tells the
// machine or the user apart, no cookies, nothing else. It is sent in the background and given
// kReportLimitMs at most; its failure only goes to the log.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/run_record.h"
#include "platform/http.h"

inline constexpr uint32_t kReportLimitMs = 2000;

// A report address the installer sends to: one that splits as an https address.
bool IsReportAddress(const std::u16string& address);

// `address` with `query` added to the query it may already have (a fragment is dropped).
std::u16string WithQuery(const std::u16string& address, std::string_view query);

// `address` with the run's figures as its query (added to a query the address already has).
std::u16string ReportAddress(const std::u16string& address, RunOutcome outcome, const std::string& errorCode,
                             const RunFigures& figures, const RunFacts& facts);

struct ReportReply {
  platform::http::SendResult outcome = platform::http::SendResult::Failed;
  uint32_t status = 0;
};
// The one GET, through a session of its own (no cookies, no cache); `abortSwitch` stops it.
ReportReply SendReport(const std::u16string& address, platform::http::AbortSwitch* abortSwitch = nullptr);
// "status 200", "no reply" and the like, for the log and the kit.
std::string DescribeReportReply(const ReportReply& reply);

// The run's report, sent in the background now; nothing happens without an address, or for a
// second call.
void StartRunReport(const std::u16string& address);
// Waits what is left of the report's time, then logs how it went. A report still under way is
// abandoned to the end of the process.
void FinishRunReport();
