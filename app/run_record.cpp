// The run's record, and the engine's lines on their way to the log.
#include "app/run_record.h"

#include <mutex>

#include "app/platform_checks.h"
#include "app/run_log.h"
#include "download/download_status.h"
#include "platform/system.h"
#include "platform/utf.h"
#include "res/version.h"

RunRecord TheRun;

RunFacts GatherRunFacts() {
  RunFacts facts;
  facts.version = TORVIN_VERSION_TEXT;
  PlatformInfo platform;
  DetectPlatform(platform);
  facts.osName = platform::ToUtf8(platform.strName);
  facts.bits = platform::ToUtf8(GetSystemBitness());
  if (const auto version = platform::QueryOsVersion())
    facts.osVersion = platform::JoinUtf8({version->major, ".", version->minor});
  const std::vector<std::u16string> languages = platform::PreferredUILanguages();
  if (!languages.empty()) facts.language = platform::ToUtf8(languages.front());
  facts.dpi = platform::SystemDpi();
  return facts;
}

void RunRecord::Restart() {
  std::lock_guard lock(m_lock);
  m_start = platform::SteadyClock::now();
  m_facts = {};
  m_begun = {};
  m_ended = {};
  m_begun[static_cast<size_t>(RunPhase::StartUp)] = 0;
  m_figures = {};
  m_outcome = RunOutcome::Unfinished;
  m_error.reset();
  m_installerExitCode.reset();
}

void RunRecord::Step(DownloadStep step, std::string_view line) {
  LogLine(line);
  std::lock_guard lock(m_lock);
  switch (step) {
    case DownloadStep::Note:
      return;
    case DownloadStep::SessionThroughProxy:
      m_figures.proxy = true;
      return;
    case DownloadStep::ProbeStarted:
      m_begun[static_cast<size_t>(RunPhase::Probe)] = Now();
      return;
    case DownloadStep::TransferStarted:
      EndLocked(RunPhase::Probe);
      m_begun[static_cast<size_t>(RunPhase::Transfer)] = Now();
      return;
    case DownloadStep::TransferRequest:
      ++m_figures.tries;
      return;
    case DownloadStep::ChecksStarted:
      EndLocked(RunPhase::Transfer);
      m_begun[static_cast<size_t>(RunPhase::Checks)] = Now();
      return;
    case DownloadStep::ChecksPassed:
      EndLocked(RunPhase::Checks);
      return;
  }
}

void RunRecord::Failed(DownloadFailure failure, std::string_view line) { Fail(RunErrorOf(failure), line); }

void RunRecord::SetFacts(const RunFacts& facts) {
  std::lock_guard lock(m_lock);
  m_facts = facts;
}

void RunRecord::SetDpi(int32_t dpi) {
  std::lock_guard lock(m_lock);
  m_facts.dpi = dpi;
}

RunFacts RunRecord::Facts() const {
  std::lock_guard lock(m_lock);
  return m_facts;
}

void RunRecord::Begin(RunPhase phase) {
  std::lock_guard lock(m_lock);
  m_begun[static_cast<size_t>(phase)] = Now();
}

void RunRecord::End(RunPhase phase) {
  std::lock_guard lock(m_lock);
  EndLocked(phase);
}

void RunRecord::Fail(RunError error, std::string_view line) {
  LogLine({RunErrorInfo(error).code, " ", line});
  std::lock_guard lock(m_lock);
  if (m_outcome == RunOutcome::Unfinished) m_error = error;
}

void RunRecord::Conclude(RunOutcome outcome) {
  const DownloadStatus status = ReadStatus();
  std::lock_guard lock(m_lock);
  if (m_outcome != RunOutcome::Unfinished) return;
  m_outcome = outcome;
  if (outcome == RunOutcome::Failed && !m_error) m_error = RunError::DownloadFailed;
  for (size_t phase = 0; phase < kRunPhaseCount; ++phase) EndLocked(static_cast<RunPhase>(phase));
  m_figures.received = status.received;
  m_figures.size = status.total;
  m_figures.restarts = status.restarts;
}

void RunRecord::SetInstallerExitCode(uint32_t code) {
  std::lock_guard lock(m_lock);
  m_installerExitCode = code;
}

RunOutcome RunRecord::Outcome() const {
  std::lock_guard lock(m_lock);
  return m_outcome;
}

std::string RunRecord::ErrorCode() const {
  std::lock_guard lock(m_lock);
  return m_error ? std::string(RunErrorInfo(*m_error).code) : std::string();
}

std::optional<RunError> RunRecord::FinalError() const {
  std::lock_guard lock(m_lock);
  if (m_outcome != RunOutcome::Failed) return std::nullopt;
  return m_error;
}

uint32_t RunRecord::ExitCode() const {
  std::lock_guard lock(m_lock);
  switch (m_outcome) {
    case RunOutcome::Launched:
      return m_installerExitCode.value_or(kExitLaunched);
    case RunOutcome::HelpShown:
      return kExitLaunched;
    case RunOutcome::Cancelled:
      return kExitCancelled;
    case RunOutcome::Failed:
    case RunOutcome::Unfinished:
      break;
  }
  return m_error ? RunErrorInfo(*m_error).exitCode : kExitFailed;
}

RunFigures RunRecord::Figures() const {
  std::lock_guard lock(m_lock);
  RunFigures figures = m_figures;
  for (size_t phase = 0; phase < kRunPhaseCount; ++phase) {
    if (m_begun[phase] && m_ended[phase]) figures.phaseMs[phase] = *m_ended[phase] - *m_begun[phase];
  }
  return figures;
}

int64_t RunRecord::Now() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(platform::SteadyClock::now() - m_start).count();
}

// A phase ends once; one never begun has no time.
void RunRecord::EndLocked(RunPhase phase) {
  const size_t index = static_cast<size_t>(phase);
  if (m_begun[index] && !m_ended[index]) m_ended[index] = Now();
}
