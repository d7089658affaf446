// What a run was and how it ended, for its log's last lines, the help link and the report: the
// facts of the computer and the installer, the time of each phase, the download's figures, the
// outcome and, when it failed, why (its error code). It listens to the download engine, whose
// lines go to the log. Any thread may write to it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/error_codes.h"
#include "download/download_log.h"
#include "platform/steady_clock.h"
#include "platform/thread.h"

// The computer and the installer, as the log's first line, the help link and the report tell them.
struct RunFacts {
  std::string version;    // the installer's own
  std::string osName;     // the configuration's name of the system ("Windows 7"); empty when unknown
  std::string osVersion;  // "6.1"
  std::string bits;       // the system's: "64" or "32"
  std::string language;   // of the user's interface: "en-US"; empty when unknown
  int32_t dpi = 96;       // of the display the window is on
};

// The facts as the system tells them now.
RunFacts GatherRunFacts();

enum class RunOutcome { Unfinished, Launched, Cancelled, Failed, HelpShown };
enum class RunPhase { StartUp, Probe, Transfer, Checks, Launch };
inline constexpr size_t kRunPhaseCount = 5;

struct RunFigures {
  std::array<std::optional<int64_t>, kRunPhaseCount> phaseMs;  // empty for a phase never reached
  uint64_t received = 0;  // bytes of the file received since its last start from byte 0
  uint64_t size = 0;
  uint32_t tries = 0;     // requests of the transfer
  uint32_t restarts = 0;  // new starts from byte 0
  bool proxy = false;     // the requests went through a proxy
};

class RunRecord final : public IDownloadLog {
 public:
  // The run starts now (the process's start, for the one record of the process).
  RunRecord() { Restart(); }

  // The run starts (again) now, with nothing recorded; another run in the same process (the
  // tests make many) restarts it.
  void Restart();

  void Step(DownloadStep step, std::string_view line) override;
  void Failed(DownloadFailure failure, std::string_view line) override;

  void SetFacts(const RunFacts& facts);
  void SetDpi(int32_t dpi);
  RunFacts Facts() const;

  void Begin(RunPhase phase);
  void End(RunPhase phase);
  // A failure, logged with its code; the last one before the end is the run's.
  void Fail(RunError error, std::string_view line);
  // How the run ended (the first call counts); the download's figures are taken now and phases
  // still open are closed. A failure without a recorded error counts as E2010.
  void Conclude(RunOutcome outcome);
  // With /wait: the launched installer's exit code, which becomes the run's.
  void SetInstallerExitCode(uint32_t code);

  RunOutcome Outcome() const;
  // The code of the failure so far ("E2008"); empty while nothing failed.
  std::string ErrorCode() const;
  // The error the run ended with, for a failed run.
  std::optional<RunError> FinalError() const;
  uint32_t ExitCode() const;
  RunFigures Figures() const;

 private:
  int64_t Now() const;
  void EndLocked(RunPhase phase);

  mutable platform::Mutex m_lock;
  platform::SteadyClock::time_point m_start;
  RunFacts m_facts;
  std::array<std::optional<int64_t>, kRunPhaseCount> m_begun;
  std::array<std::optional<int64_t>, kRunPhaseCount> m_ended;
  RunFigures m_figures;
  RunOutcome m_outcome = RunOutcome::Unfinished;
  std::optional<RunError> m_error;
  std::optional<uint32_t> m_installerExitCode;
};

// The process's run.
extern RunRecord TheRun;
