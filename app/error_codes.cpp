// Looking up the error table.
#include "app/error_codes.h"

const RunErrorEntry& RunErrorInfo(RunError error) {
  for (const RunErrorEntry& entry : kRunErrors) {
    if (entry.error == error) return entry;
  }
  return kRunErrors.back();  // unreachable: every error has its row (the tests check it)
}

RunError RunErrorOf(DownloadFailure failure) {
  switch (failure) {
    case DownloadFailure::DestinationNotCreated:
      return RunError::DestinationNotCreated;
    case DownloadFailure::NotStarted:
      return RunError::DownloadNotStarted;
    case DownloadFailure::NoSize:
      return RunError::NoSize;
    case DownloadFailure::CertificateRefused:
      return RunError::CertificateRefused;
    case DownloadFailure::RedirectRefused:
      return RunError::RedirectRefused;
    case DownloadFailure::RangeRefused:
      return RunError::RangeRefused;
    case DownloadFailure::TransferRefused:
      return RunError::TransferRefused;
    case DownloadFailure::FruitlessTries:
      return RunError::FruitlessTries;
    case DownloadFailure::WriteFailed:
      return RunError::WriteFailed;
    case DownloadFailure::CheckImpossible:
      return RunError::CheckImpossible;
    case DownloadFailure::NotAProgram:
      return RunError::NotAProgram;
    case DownloadFailure::DigestMismatch:
      return RunError::DigestMismatch;
    case DownloadFailure::SignatureRefused:
      return RunError::SignatureRefused;
    case DownloadFailure::SignerMismatch:
      return RunError::SignerMismatch;
  }
  return RunError::DownloadFailed;
}
