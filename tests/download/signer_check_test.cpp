// The signer check under Wine against the real system calls: a program signed at test time in
// every way a download could be wrong (tests/support/make-signed-payloads) is refused, and only
// the one signed by the pinned name under the trusted test CA passes.
#ifdef _WIN32
#include <gtest/gtest.h>

#include "download/installer_verification.h"
#include "download/sha256_text.h"
#include "platform/trust.h"
#include "tests/support/trusted_root.h"

namespace {

const std::string kPayloads = "Z:" TORVIN_BINARY_DIR "/tests/download/signed-payloads/";
constexpr char16_t kSigner[] = u"Plantyx Software Ltd";

std::u16string Payload(const std::string& name) {
  const std::string path = kPayloads + name;
  return std::u16string(path.begin(), path.end());
}

// The system reads its trusted roots once per process: the test CA goes in before any test runs.
class TrustTheTestCa : public testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(TrustRootCertificate(kPayloads + "ca.pem")); }
};
// GoogleTest takes ownership of the environment.
testing::Environment* const kTrustTheTestCa = testing::AddGlobalTestEnvironment(new TrustTheTestCa);

TEST(SignerCheckUnderWine, ThePinnedSignerUnderATrustedRootPasses) {
  platform::HeldFile file;
  ASSERT_TRUE(file.Open(Payload("signed.exe")));
  const std::u16string digest = Sha256Text(*platform::FileSha256(file));
  const VerificationResult result = VerifyInstaller(file, {digest, kSigner});
  EXPECT_TRUE(result.passed) << std::string(result.report.begin(), result.report.end());
  EXPECT_EQ(result.report,
            u"installer checks passed: Windows program, SHA-256 " + digest + u", signer \"Plantyx Software Ltd\"");
}

TEST(SignerCheckUnderWine, EveryOtherSignatureIsRefusedWithItsReason) {
  struct Case {
    const char* file;
    std::u16string report;
  };
  const Case cases[] = {
      {"tampered.exe", u"signer: signature refused, result 0x80096010"},  // TRUST_E_BAD_DIGEST
      {"unsigned.exe", u"signer: signature refused, result 0x800B0100"},  // TRUST_E_NOSIGNATURE
      // CERT_E_UNTRUSTEDROOT, whether the root is another CA or the certificate itself.
      {"untrusted-ca.exe",
       u"signer: chain policy refused, result 0x800B0109, signed by \"Plantyx Software Ltd\""},
      {"self-signed.exe",
       u"signer: chain policy refused, result 0x800B0109, signed by \"Plantyx Software Ltd\""},
      // CERT_TRUST_IS_NOT_VALID_FOR_USAGE: a server certificate signs no programs.
      {"server-only.exe",
       u"signer: code-signing chain refused, result 0x00000010, signed by \"Plantyx Software Ltd\""},
      {"wrong-name.exe", u"signer: expected \"Plantyx Software Ltd\", found \"Kestrix Tools\""},
      // The system leaves the table's padding unchecked; bytes hidden there are refused here.
      {"padded-table.exe",
       u"signer: the certificate table is not exactly one signature ending the file (bytes follow the signature)"},
      // A name is compared in full, and only a certificate with one common name can match.
      {"nul-in-name.exe",
       u"signer: expected \"Plantyx Software Ltd\", found \"Plantyx Software Ltd\\x00.attacker\""},
      {"two-names.exe",
       u"signer: expected \"Plantyx Software Ltd\", found \"Plantyx Software Ltd\", \"Kestrix Tools\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const VerificationResult result = VerifyInstallerAt(Payload(c.file), {{}, kSigner});
    EXPECT_FALSE(result.passed);
    EXPECT_EQ(result.report, u"installer refused: " + c.report);
    EXPECT_EQ(result.failure, c.report.find(u"expected") != std::u16string::npos ? DownloadFailure::SignerMismatch
                                                                                 : DownloadFailure::SignatureRefused);
  }
}

TEST(SignerCheckUnderWine, TheNameMustMatchExactly) {
  for (const char16_t* name : {u"plantyx software ltd", u"Plantyx Software", u"Plantyx Software Ltd "}) {
    EXPECT_FALSE(VerifyInstallerAt(Payload("signed.exe"), {{}, name}).passed);
  }
}

}  // namespace
#endif
