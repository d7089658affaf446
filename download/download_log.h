// What the download engine tells of its work, for the installer's log: a line for each step (the
// size probes, every request with its reply, redirects, retries and their waits, new starts from
// byte 0, the checks of the finished file) and, when it fails for good, why. The engine knows
// nothing of where the lines go: its owner hands it a listener. Lines are UTF-8 and may come from
// any of the engine's threads; without a listener they go nowhere.
#pragma once

#include <initializer_list>
#include <string_view>

#include "platform/utf.h"

// The ways a download fails for good.
enum class DownloadFailure {
  DestinationNotCreated,  // the file beside the installer could not be created
  NotStarted,             // the system refused the internet session, a thread or a request
  NoSize,                 // neither link told the file's size
  CertificateRefused,     // a server's certificate was not accepted
  RedirectRefused,        // a redirect from https to http, or too many
  RangeRefused,           // a reply to a range did not fit what was asked
  TransferRefused,        // the server answered the transfer with an error status
  FruitlessTries,         // too many tries in a row brought no new byte
  WriteFailed,            // the file could not be written (a full disk, a lock)
  CheckImpossible,        // the finished file could not be held or read for its checks
  NotAProgram,            // the finished file is not a Windows program
  DigestMismatch,         // its SHA-256 digest is not the published one
  SignatureRefused,       // its signature is missing, broken or not trusted
  SignerMismatch,         // it was signed by somebody else
};

// The steps whose moments and number the installer's figures count; every other line is Note.
enum class DownloadStep {
  Note,
  SessionThroughProxy,  // the internet session's requests go through a proxy
  ProbeStarted,     // the first size probe begins
  TransferStarted,  // the file's size is known and its bytes are being fetched
  TransferRequest,  // one request of the transfer has been answered (or was not)
  ChecksStarted,
  ChecksPassed,
};

class IDownloadLog {
 public:
  virtual void Step(DownloadStep step, std::string_view line) = 0;
  // Called before the failed state is stored, so the owner knows why when it sees the state.
  virtual void Failed(DownloadFailure failure, std::string_view line) = 0;

 protected:
  ~IDownloadLog() = default;
};

// The listener of the engine's lines from now on; nullptr for none.
void SetDownloadLog(IDownloadLog* log);

// A line joined from its pieces.
void LogDownloadStep(std::initializer_list<platform::TextPiece> line, DownloadStep step = DownloadStep::Note);
void LogDownloadFailure(DownloadFailure failure, std::initializer_list<platform::TextPiece> line);
