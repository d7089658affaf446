// The installer checks, each giving the reason it refused, and the one report line they make.
#include "download/installer_verification.h"

#include <cstdint>
#include <optional>

#include "download/sha256_text.h"
#include "platform/trust.h"

namespace {

using platform::HeldFile;
using platform::SignerCheck;

constexpr uint64_t kPeOffsetField = 0x3C;

std::u16string Hex32(uint32_t value) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text = u"0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0x0F];
  return text;
}

bool ReadExactly(const HeldFile& file, uint64_t position, void* data, size_t size) {
  return file.ReadAt(position, data, size) == static_cast<int64_t>(size);
}

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

std::optional<std::u16string> CheckSigner(const HeldFile& file, const std::u16string& expected,
                                         DownloadFailure& failure) {
  const SignerCheck check = platform::CheckAuthenticodeSigner(file);
  failure = DownloadFailure::SignatureRefused;
  switch (check.outcome) {
    case SignerCheck::Outcome::Unavailable:
      return u"signer: " + check.step;
    case SignerCheck::Outcome::Refused: {
      std::u16string reason = u"signer: " + check.step + u" refused, result " + Hex32(check.code);
      if (!check.commonName.empty()) reason += u", signed by \"" + check.commonName + u"\"";
      return reason;
    }
    case SignerCheck::Outcome::Trusted:
      break;
  }
  if (check.commonName == expected) return std::nullopt;
  failure = DownloadFailure::SignerMismatch;
  return u"signer: expected \"" + expected + u"\", found \"" + check.commonName + u"\"";
}

}  // namespace

bool IsWindowsProgram(const HeldFile& file) {
  char mz[2];
  uint8_t offsetBytes[4];
  if (!ReadExactly(file, 0, mz, sizeof mz) || mz[0] != 'M' || mz[1] != 'Z') return false;
  if (!ReadExactly(file, kPeOffsetField, offsetBytes, sizeof offsetBytes)) return false;
  const uint64_t peOffset = offsetBytes[0] | (offsetBytes[1] << 8) | (offsetBytes[2] << 16) |
                            (static_cast<uint64_t>(offsetBytes[3]) << 24);
  char signature[4];
  return ReadExactly(file, peOffset, signature, sizeof signature) && signature[0] == 'P' &&
         signature[1] == 'E' && signature[2] == '\0' && signature[3] == '\0';
}

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
