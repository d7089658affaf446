// The one table of the ways a run can fail: a short stable code, its meaning in one line and the
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
  std::string_view meaning;  // one line, for the log and the README
  uint32_t exitCode;
};

inline constexpr std::array<RunErrorEntry, 23> kRunErrors = {{
    {RunError::CommandLine, "E1001", "The command line has an unknown switch, a switch without its value or a stray word.", 1639},
    {RunError::ConfigurationUnusable, "E1002", "The configuration file is missing or unusable (\"Xml file is missing!\").", 1619},
    {RunError::UnrecognizedAddress, "E1003", "No download link of the configuration is an address (\"Unrecognized URL\").", 1610},
    {RunError::NotOn64BitWindows, "E1004", "The computer runs 32-bit Windows; only 64-bit Windows is supported.", 1633},
    {RunError::EmbeddedFilesDamaged, "E1005", "The files built into the installer are damaged.", 1620},
    {RunError::ProductNameNotAFileName, "E1006", "The product name is not a plain file name, so there is nowhere to download to.", kExitFailed},
    {RunError::WindowNotMade, "E1007", "The installer's window could not be made.", kExitFailed},
    {RunError::DestinationNotCreated, "E2001", "The downloaded file cannot be created beside the installer (a read-only folder, a file in use).", kExitFailed},
    {RunError::DownloadNotStarted, "E2002", "The system refused the download an internet session, a thread or a request.", kExitFailed},
    {RunError::NoSize, "E2003", "Neither link told the file's size: no reply, an error status or no length.", kExitFailed},
    {RunError::CertificateRefused, "E2004", "A server's certificate was refused (its name, dates or issuer).", kExitFailed},
    {RunError::RedirectRefused, "E2005", "A redirect was refused: from https to http, or too many.", kExitFailed},
    {RunError::RangeRefused, "E2006", "The server's answer did not fit the range asked for (another size or place, more bytes).", kExitFailed},
    {RunError::TransferRefused, "E2007", "The server answered the transfer with an error status (such as 403 or 404).", kExitFailed},
    {RunError::FruitlessTries, "E2008", "Five tries in a row brought no new byte, or twenty tries less than a mebibyte (the connection kept dropping, stalling or trickling).", kExitFailed},
    {RunError::WriteFailed, "E2009", "The downloaded file could not be written (the disk is full, the file is locked).", kExitFailed},
    {RunError::DownloadFailed, "E2010", "The download failed without a more precise reason.", kExitFailed},
    {RunError::CheckImpossible, "E3001", "The downloaded file could not be opened or read for its checks.", kExitFailed},
    {RunError::NotAProgram, "E3002", "The downloaded file is not a Windows program (an error page, for example).", kExitFailed},
    {RunError::DigestMismatch, "E3003", "The downloaded file's SHA-256 digest is not the one in the configuration.", kExitFailed},
    {RunError::SignatureRefused, "E3004", "The downloaded file's signature is missing, broken or not trusted.", kExitFailed},
    {RunError::SignerMismatch, "E3005", "The downloaded file was signed by somebody other than the configuration's signer.", kExitFailed},
    {RunError::LaunchFailed, "E4001", "The downloaded installer could not be started.", kExitFailed},
}};

const RunErrorEntry& RunErrorInfo(RunError error);

// The run's error for each way the download engine fails.
RunError RunErrorOf(DownloadFailure failure);
