// The one table of the ways a run can fail: a short stable code, its meaning in a few words and the
// process's exit code. The log, the help link's {code}, the report and the README's table all
// come from it. Codes are never reused for another meaning.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "download/download_log.h"

enum class RunError {
  CommandLine,
  ConfigurationUnusable,
  UnrecognizedAddress,
  NotOn64BitWindows,
  EmbeddedFilesDamaged,
  ProductNameNotAFileName,
  WindowNotMade,
  DestinationNotCreated,
  DownloadNotStarted,
  NoSize,
  CertificateRefused,
  RedirectRefused,
  RangeRefused,
  TransferRefused,
  FruitlessTries,
  WriteFailed,
  DownloadFailed,
  CheckImpossible,
  NotAProgram,
  DigestMismatch,
  SignatureRefused,
  SignerMismatch,
  LaunchFailed,
};

// The exit codes of a run, as deployment tools read them.
inline constexpr uint32_t kExitLaunched = 0;
inline constexpr uint32_t kExitCancelled = 1602;  // the user cancelled
inline constexpr uint32_t kExitFailed = 1603;     // a fatal error during the run

struct RunErrorEntry {
  RunError error;
  std::string_view code;     // "E2003"
  std::string_view meaning;  // a few words, for the log (the README explains each code)
  uint32_t exitCode;
};

inline constexpr std::array<RunErrorEntry, 23> kRunErrors = {{
    {RunError::CommandLine, "E1001", "bad command line", 1639},
    {RunError::ConfigurationUnusable, "E1002", "configuration missing or unusable", 1619},
    {RunError::UnrecognizedAddress, "E1003", "no link is an address", 1610},
    {RunError::NotOn64BitWindows, "E1004", "32-bit Windows", 1633},
    {RunError::EmbeddedFilesDamaged, "E1005", "packed files damaged", 1620},
    {RunError::ProductNameNotAFileName, "E1006", "product name is no file name", kExitFailed},
    {RunError::WindowNotMade, "E1007", "no window", kExitFailed},
    {RunError::DestinationNotCreated, "E2001", "file not created", kExitFailed},
    {RunError::DownloadNotStarted, "E2002", "download not started", kExitFailed},
    {RunError::NoSize, "E2003", "no size from either link", kExitFailed},
    {RunError::CertificateRefused, "E2004", "certificate refused", kExitFailed},
    {RunError::RedirectRefused, "E2005", "redirect refused", kExitFailed},
    {RunError::RangeRefused, "E2006", "range refused", kExitFailed},
    {RunError::TransferRefused, "E2007", "error status", kExitFailed},
    {RunError::FruitlessTries, "E2008", "too many fruitless tries", kExitFailed},
    {RunError::WriteFailed, "E2009", "write failed", kExitFailed},
    {RunError::DownloadFailed, "E2010", "download failed", kExitFailed},
    {RunError::CheckImpossible, "E3001", "file not checkable", kExitFailed},
    {RunError::NotAProgram, "E3002", "not a Windows program", kExitFailed},
    {RunError::DigestMismatch, "E3003", "wrong SHA-256 digest", kExitFailed},
    {RunError::SignatureRefused, "E3004", "signature refused", kExitFailed},
    {RunError::SignerMismatch, "E3005", "wrong signer", kExitFailed},
    {RunError::LaunchFailed, "E4001", "launch failed", kExitFailed},
}};

const RunErrorEntry& RunErrorInfo(RunError error);

// The run's error for each way the download engine fails.
RunError RunErrorOf(DownloadFailure failure);
