// The installer checks, each giving the reason it refused, and the one report line they make.
#include "download/installer_verification.h"

#include <optional>
#include <vector>

#include "download/sha256_text.h"
#include "platform/trust.h"

namespace {

using platform::HeldFile;
using platform::SignerCheck;

// Empty when the check passed, else why it refused (and the failure it counts as).
std::optional<std::u16string> CheckDigest(const HeldFile& file, const std::u16string& expected,
                                         DownloadFailure& failure) {
  const std::optional<platform::Sha256Digest> digest = platform::FileSha256(file);
  failure = DownloadFailure::CheckImpossible;
  if (!digest) return u"SHA-256: the file could not be read";
  failure = DownloadFailure::DigestMismatch;
  if (MatchesSha256Text(*digest, expected)) return std::nullopt;
  return u"SHA-256: expected " + expected + u", found " + Sha256Text(*digest);
}

// A name in quotation marks, each control character (an embedded NUL among them) written as \xHH,
// so that the report line shows the whole name.
std::u16string Quoted(const std::u16string& name) {
  std::u16string text = u"\"";
  for (char16_t c : name) {
    if (c < 0x20 || c == 0x7F) {
      text += u"\\x" + ResultCodeText(c).substr(8);  // the last two of its eight digits
    } else {
      text += c;
    }
  }
  return text + u"\"";
}

std::u16string QuotedList(const std::vector<std::u16string>& names) {
  if (names.empty()) return u"no common name";
  std::u16string text;
  for (const std::u16string& name : names) text += (text.empty() ? u"" : u", ") + Quoted(name);
  return text;
}

std::optional<std::u16string> CheckSigner(const HeldFile& file, const std::u16string& expected,
                                         DownloadFailure& failure) {
  const SignerCheck check = platform::CheckAuthenticodeSigner(file);
  failure = DownloadFailure::SignatureRefused;
  switch (check.outcome) {
    case SignerCheck::Outcome::Unavailable:
      return u"signer: " + check.step;
    case SignerCheck::Outcome::Refused: {
      std::u16string reason = u"signer: " + check.step + u" refused, result " + ResultCodeText(check.code);
      if (!check.commonNames.empty()) reason += u", signed by " + QuotedList(check.commonNames);
      return reason;
    }
    case SignerCheck::Outcome::Trusted:
      break;
  }
  if (std::optional<std::u16string> problem = CertificateTableProblem(file)) return problem;
  // One common name, equal in full: a second one, or more after an embedded NUL, is somebody else's.
  if (check.commonNames.size() == 1 && check.commonNames.front() == expected) return std::nullopt;
  failure = DownloadFailure::SignerMismatch;
  return u"signer: expected " + Quoted(expected) + u", found " + QuotedList(check.commonNames);
}

}  // namespace

VerificationResult VerifyInstaller(const HeldFile& file, const InstallerChecks& checks) {
  VerificationResult result;
  if (!IsWindowsProgram(file)) {
    result.report = u"installer refused: not a Windows program";
    result.failure = DownloadFailure::NotAProgram;
    return result;
  }
  std::u16string passed = u"Windows program";
  if (!checks.sha256.empty()) {
    if (auto failure = CheckDigest(file, checks.sha256, result.failure)) {
      result.report = u"installer refused: " + *failure;
      return result;
    }
    passed += u", SHA-256 " + checks.sha256;
  }
  if (!checks.signer.empty()) {
    if (auto failure = CheckSigner(file, checks.signer, result.failure)) {
      result.report = u"installer refused: " + *failure;
      return result;
    }
    passed += u", signer \"" + checks.signer + u"\"";
  }
  result.passed = true;
  result.report = u"installer checks passed: " + passed;
  return result;
}

VerificationResult VerifyInstallerAt(const std::u16string& path, const InstallerChecks& checks) {
  HeldFile file;
  if (!file.Open(path)) return {false, u"installer refused: the file cannot be opened for the checks"};
  return VerifyInstaller(file, checks);
}
