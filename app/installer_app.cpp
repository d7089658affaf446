// The application object and the run from the command line to the exit code.
#include "app/installer_app.h"

#include "app/installer_dialog.h"
#include "app/run_log.h"
#include "app/run_options.h"
#include "app/run_report.h"
#include "app/windowless_host.h"
#include "platform/system.h"
#include "platform/utf.h"

CTorvinWebInstallerApp theApp;

namespace {

void LogRunStart(std::u16string_view commandLine) {
  const RunFacts facts = GatherRunFacts();
  TheRun.SetFacts(facts);
  LogLine({"web installer ", facts.version, " (", sizeof(void*) * 8, "-bit program) on ", facts.osName, " ",
           facts.osVersion, ", ", facts.bits, "-bit, ", facts.dpi, " DPI, language ", facts.language});
  LogLine({"command line: ", commandLine});
}

// A bad command line or a request for help ends the run before anything is read or downloaded.
// Their box is shown unless /quiet asks for none (and for a bad command line, /passive).
void AnswerWithoutDownload(const RunOptions& options) {
  OpenDefaultRunLog({});
  if (options.problem != RunOptions::Problem::None) {
    const std::u16string problem = DescribeCommandLineProblem(options);
    TheRun.Fail(RunError::CommandLine, platform::ToUtf8(problem));
    TheRun.Conclude(RunOutcome::Failed);
    if (!options.AsksNothing()) {
      platform::ShowMessageBoxWithoutWindow(problem + u"\n\n" + std::u16string(kRunOptionsHelp), std::nullopt,
                                            platform::MessageBoxKind::OkExclamation);
    }
    return;
  }
  LogLine("help asked for: nothing is downloaded");
  TheRun.Conclude(RunOutcome::HelpShown);
  if (!options.quiet) {
    platform::ShowMessageBoxWithoutWindow(std::u16string(kRunOptionsHelp), std::nullopt,
                                          platform::MessageBoxKind::OkInformation);
  }
}

void RunDialog(const RunOptions& options) {
  CTorvinWebInstallerDlg dialog(options);
  const int result = options.quiet ? RunWithoutWindow(dialog) : dialog.DoModal();
  if (result < 0 && TheRun.Outcome() == RunOutcome::Unfinished) {
    TheRun.Fail(RunError::WindowNotMade, "the installer's window could not be made");
    TheRun.Conclude(RunOutcome::Failed);
  }
  if (!options.wait || !dialog.m_launchedInstaller) return;
  LogLine("waiting for the installer to end");
  if (const auto code = platform::WaitForExit(*dialog.m_launchedInstaller)) {
    LogLine({"the installer ended with exit code ", *code});
    TheRun.SetInstallerExitCode(*code);
  } else {
    LogLine("the installer's exit code cannot be learned");
  }
}

// The log's last line: the exit code, and for a failure its error code and meaning.
void LogRunEnd() {
  const uint32_t exitCode = TheRun.ExitCode();
  std::string line;
  if (const auto error = TheRun.FinalError()) {
    const RunErrorEntry& entry = RunErrorInfo(*error);
    line = platform::JoinUtf8({entry.code, " exit code ", exitCode, ": ", entry.meaning});
  } else {
    line = platform::JoinUtf8({"exit code ", exitCode, TheRun.Outcome() == RunOutcome::Cancelled ? ": cancelled" : ""});
  }
  TheRunLog.FinalLine(line);
  TheRunLog.Close();
}

}  // namespace

uint32_t CTorvinWebInstallerApp::InitInstance(std::u16string_view commandLine) {
  const RunOptions options = ParseRunOptions(commandLine);
  if (!options.logPath.empty()) TheRunLog.OpenAt(options.logPath);
  LogRunStart(commandLine);
  if (options.help || options.problem != RunOptions::Problem::None) {
    AnswerWithoutDownload(options);
  } else {
    RunDialog(options);
  }
  FinishRunReport();
  OpenDefaultRunLog({});
  LogRunEnd();
  return TheRun.ExitCode();
}
