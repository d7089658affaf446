// Building the report's address and sending it on a thread of its own.
#include "app/run_report.h"

#include <array>
#include <chrono>
#include <memory>
#include <string_view>

#include "app/address_text.h"
#include "app/run_log.h"
#include "download/http_request.h"
#include "platform/steady_clock.h"
#include "platform/thread.h"
#include "platform/utf.h"

namespace {

using namespace platform::http;

// How long a stopped report may take to return before it is left to the end of the process.
constexpr std::chrono::milliseconds kAbortGraceMs{200};

constexpr std::array<std::string_view, kRunPhaseCount> kPhaseFields = {"startup_ms", "probe_ms", "transfer_ms",
                                                                       "checks_ms", "launch_ms"};

std::string_view OutcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Launched:
      return "launched";
    case RunOutcome::Cancelled:
      return "cancelled";
    case RunOutcome::HelpShown:
      return "help";
    case RunOutcome::Failed:
    case RunOutcome::Unfinished:
      break;
  }
  return "failed";
}

// One report under way: the thread is declared last, so it is joined before the rest goes.
struct ReportJob {
  std::u16string address;
  AbortSwitchHandle abortSwitch = CreateAbortSwitch();
  platform::SteadyClock::time_point started = platform::SteadyClock::now();
  platform::Event done{platform::Event::Reset::Manual, false};
  ReportReply reply;  // written by the thread before `done` is set
  platform::Thread thread;
};

void RunReportJob(void* context) {
  auto* job = static_cast<ReportJob*>(context);
  job->reply = SendReport(job->address, job->abortSwitch.get());
  job->done.Set();
}

std::unique_ptr<ReportJob> RunReport;

}  // namespace

bool IsReportAddress(const std::u16string& address) {
  UrlParts parts;
  return SplitUrl(address, parts) && parts.scheme == Scheme::Https;
}

std::u16string ReportAddress(const std::u16string& address, RunOutcome outcome, const std::string& errorCode,
                             const RunFigures& figures, const RunFacts& facts) {
  using platform::JoinUtf8;
  std::string query = JoinUtf8({"outcome=", OutcomeName(outcome), "&code=", PercentEncode(errorCode)});
  for (size_t phase = 0; phase < kRunPhaseCount; ++phase) {
    query += JoinUtf8({"&", kPhaseFields[phase], "="});
    if (figures.phaseMs[phase]) query += JoinUtf8({*figures.phaseMs[phase]});
  }
  query += JoinUtf8({"&received=", figures.received, "&size=", figures.size, "&tries=", figures.tries,
                     "&restarts=", figures.restarts, "&version=", PercentEncode(facts.version),
                     "&os=", PercentEncode(facts.osVersion), "&bit=", PercentEncode(facts.bits),
                     "&scale=", (facts.dpi * 100 + 48) / 96, "&lang=", PercentEncode(facts.language),
                     "&proxy=", figures.proxy ? "1" : "0"});
  return WithQuery(address, query);
}

std::u16string WithQuery(const std::u16string& address, std::string_view query) {
  std::u16string base = address.substr(0, address.find(u'#'));
  base += base.find(u'?') == std::u16string::npos ? u'?' : u'&';
  return base + platform::FromUtf8(query);
}

ReportReply SendReport(const std::u16string& address, AbortSwitch* abortSwitch) {
  ReportReply reply;
  // A session of its own: the report may still be on its way when the engine's session is closed.
  SessionHandle session = OpenSession(u"Kestrix_WebInstaller");
  OpenedRequest opened;
  if (!session || !OpenHttpRequestOn(*session, address, nullptr, {u"*/*"},
                                     REQUEST_RELOAD | REQUEST_NO_CACHE_WRITE | REQUEST_NO_UI | REQUEST_NO_COOKIES,
                                     abortSwitch, opened)) {
    return reply;
  }
  Request& request = *opened.request;
  reply.outcome = SendRequest(request);
  if (reply.outcome == SendResult::Replied && !QueryStatusCode(request, reply.status)) {
    reply.outcome = SendResult::Failed;
  }
  return reply;
}

std::string DescribeReportReply(const ReportReply& reply) {
  switch (reply.outcome) {
    case SendResult::Replied:
      return platform::JoinUtf8({"status ", reply.status});
    case SendResult::Failed:
      return "no reply";
    case SendResult::CertificateRefused:
      return "refused: the server's certificate was not accepted";
    case SendResult::RedirectRefused:
      return "refused: redirected from https to http, or too many times";
  }
  return {};
}

void StartRunReport(const std::u16string& address) {
  if (address.empty() || RunReport) return;
  if (!IsReportAddress(address)) {
    LogLine({"report: not sent, ", address, " is not an https address"});
    return;
  }
  auto job = std::make_unique<ReportJob>();
  job->address = ReportAddress(address, TheRun.Outcome(), TheRun.FinalError() ? TheRun.ErrorCode() : std::string(),
                               TheRun.Figures(), TheRun.Facts());
  LogLine({"report: sending ", job->address});
  if (!job->thread.Start(RunReportJob, job.get())) {
    LogLine("report: not sent, the system refused its thread");
    return;
  }
  RunReport = std::move(job);
}

void FinishRunReport() {
  if (!RunReport) return;
  const auto limit = std::chrono::milliseconds(kReportLimitMs);
  const auto spent = platform::SteadyClock::now() - RunReport->started;
  const auto left = spent < limit ? std::chrono::duration_cast<std::chrono::milliseconds>(limit - spent)
                                  : std::chrono::milliseconds(0);
  const bool answered = RunReport->done.WaitFor(left);
  if (!answered) Abort(*RunReport->abortSwitch);
  // A stopped call returns at once, except on a system that cannot stop a call already waiting
  // (Wine): that thread is left to the end of the process, which owns its job from then on.
  if (!answered && !RunReport->done.WaitFor(kAbortGraceMs)) {
    static_cast<void>(RunReport.release());
  } else {
    RunReport->thread.Join();
    if (answered) LogLine({"report: ", DescribeReportReply(RunReport->reply)});
    RunReport.reset();
  }
  if (!answered) LogLine({"report: no answer within ", kReportLimitMs / 1000, " s, given up"});
}
