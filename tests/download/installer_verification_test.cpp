// The checks of a downloaded installer on real files: the digest text, SHA-256 known answers, the
// program check against headers that lie, the order of the checks and their report line, and the
// hold that keeps a checked file from being rewritten or deleted.
#include "download/installer_verification.h"

#include <gtest/gtest.h>

#include "download/destination_file.h"
#include "download/sha256_text.h"
#include "download_test_helpers.h"
#include "platform/file.h"
#include "platform/trust.h"

namespace {

constexpr char16_t kAbcDigest[] = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

// "MZ", the offset of the "PE\0\0" signature at 0x3C (little-endian), the signature there, and
// `tail` more bytes after it.
std::string ProgramBytes(uint32_t peOffset = 0x40, size_t tail = 16) {
  std::string bytes(std::max<size_t>(peOffset + 4 + tail, 0x40), 'x');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>(peOffset >> (8 * i));
  if (peOffset + 4 <= bytes.size()) bytes.replace(peOffset, 4, std::string("PE\0\0", 4));
  return bytes;
}

TEST(Sha256TextTest, AcceptsExactlySixtyFourHexDigitsOfEitherCase) {
  const std::u16string digest = kAbcDigest;
  struct Case {
    std::u16string text;
    bool valid;
  };
  const Case cases[] = {
      {digest, true},
      {Upper(digest), true},
      {Upper(digest.substr(0, 32)) + digest.substr(32), true},
      {digest.substr(0, 63), false},
      {digest + u"0", false},
      {u"", false},
      {u" " + digest.substr(1), false},
      {digest.substr(0, 63) + u"g", false},
      {digest.substr(0, 62) + u"\u0660" + u"0", false},  // an Arabic-Indic zero is no hex digit
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsSha256Text(c.text), c.valid) << std::string(c.text.begin(), c.text.end());
}

TEST(FileSha256Test, KnownAnswersAcrossReadPieces) {
  TempFolder folder;
  struct Case {
    std::string bytes;
    std::u16string digest;
  };
  const Case cases[] = {
      {"", u"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", kAbcDigest},
      {std::string(2 * 1024 * 1024 + 1, 'a'),
       u"16a429a1e5162fcf59e3079724763e9afafcef1e2c7f862571e9267b3d959113"},
  };
  for (const Case& c : cases) {
    platform::HeldFile file;
    ASSERT_TRUE(file.Open(PathText(folder.Write("data.bin", c.bytes))));
    const auto digest = platform::FileSha256(file);
    ASSERT_TRUE(digest.has_value());
    EXPECT_EQ(Sha256Text(*digest), c.digest);
    EXPECT_TRUE(MatchesSha256Text(*digest, Upper(c.digest)));
  }
}

TEST(ProgramCheckTest, OnlyAProgramHeaderThatPointsInsideTheFilePasses) {
  TempFolder folder;
  std::string wrongSignature = ProgramBytes();
  wrongSignature[0x43] = '\1';
  std::string signatureCutShort = ProgramBytes(0x40, 0);
  signatureCutShort.resize(0x43);
  std::string offsetFarPastTheEnd = ProgramBytes();
  offsetFarPastTheEnd.replace(0x3C, 4, "\xF0\xFF\xFF\xFF");
  struct Case {
    const char* what;
    std::string bytes;
    bool program;
  };
  const Case cases[] = {
      {"a program", ProgramBytes(), true},
      {"signature ending the file", ProgramBytes(0x80, 0), true},
      {"signature before 0x3C", ProgramBytes(0x08, 0x40), true},
      {"signature ending the headers read", ProgramBytes(4092, 16), true},
      {"signature after the headers read", ProgramBytes(4093, 16), false},
      {"an HTML page",
       "<!DOCTYPE html><html><body>Please log in to use this network.</body></html>" + std::string(200, ' '),
       false},
      {"empty", "", false},
      {"only MZ", "MZ", false},
      {"lower-case mz", "mz" + ProgramBytes().substr(2), false},
      {"signature cut short", signatureCutShort, false},
      {"offset far past the end", offsetFarPastTheEnd, false},
      {"wrong signature", wrongSignature, false},
  };
  for (const Case& c : cases) {
    platform::HeldFile file;
    ASSERT_TRUE(file.Open(PathText(folder.Write("setup.exe", c.bytes))));
    EXPECT_EQ(IsWindowsProgram(file), c.program) << c.what;
  }
}

void PutLe(std::string& bytes, size_t at, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// How a signed PE32+ program's certificate table is laid out: one entry whose signature is a DER
// SEQUENCE of 17 bytes, so that 7 bytes of padding round the entry up to 32. The file header is
// filler: the section table it counts lies far beyond the headers read, which locating the table
// does not need.
struct TableLayout {
  std::string padding = std::string(7, '\0');
  uint16_t revision = 0x0200;
  std::string afterTable;
};

std::string ProgramWithTable(const TableLayout& layout) {
  constexpr size_t kOptionalHeader = 0x40 + 24;
  std::string bytes = ProgramBytes(0x40, 20 + 240);
  PutLe(bytes, 0x40 + 4 + 16, 240, 2);  // the optional header's size
  PutLe(bytes, kOptionalHeader, 0x20B, 2);
  PutLe(bytes, kOptionalHeader + 108, 16, 4);  // the count of data directories
  std::string entry(8, '\0');
  entry += std::string("\x30\x82\x00\x0D", 4) + std::string(13, 's') + layout.padding;
  PutLe(entry, 0, static_cast<uint32_t>(entry.size()), 4);
  PutLe(entry, 4, layout.revision, 2);
  PutLe(entry, 6, 2, 2);
  PutLe(bytes, kOptionalHeader + 112 + 4 * 8, static_cast<uint32_t>(bytes.size()), 4);
  PutLe(bytes, kOptionalHeader + 112 + 4 * 8 + 4, static_cast<uint32_t>(entry.size()), 4);
  return bytes + entry + layout.afterTable;
}

// The system verifies the signature but not what its table holds around it.
TEST(CertificateTableTest, OnlyOneSignatureWithZeroPaddingThatEndsTheFilePasses) {
  TempFolder folder;
  struct Case {
    const char* what;
    TableLayout layout;
    std::u16string problem;
  };
  const Case cases[] = {
      {"as signed", {}, {}},
      {"a byte in the padding", {std::string(6, '\0') + "x", 0x0200, ""}, u"the padding after the signature is not zero"},
      {"eight bytes more in the entry", {std::string(15, '\0'), 0x0200, ""}, u"bytes follow the signature"},
      {"bytes after the table", {std::string(7, '\0'), 0x0200, "tail"}, u"the table does not end the file"},
      {"another kind of entry", {std::string(7, '\0'), 0x0100, ""}, u"the entry is no PKCS #7 signature"},
  };
  for (const Case& c : cases) {
    platform::HeldFile file;
    ASSERT_TRUE(file.Open(PathText(folder.Write("signed.exe", ProgramWithTable(c.layout)))));
    const std::optional<std::u16string> problem = CertificateTableProblem(file);
    if (c.problem.empty()) {
      EXPECT_FALSE(problem.has_value()) << c.what;
    } else {
      EXPECT_EQ(problem, u"signer: the certificate table is not exactly one signature ending the file (" +
                             c.problem + u")")
          << c.what;
    }
  }
  platform::HeldFile plain;  // no table at all
  ASSERT_TRUE(plain.Open(PathText(folder.Write("unsigned.exe", ProgramBytes()))));
  EXPECT_TRUE(CertificateTableProblem(plain).has_value());
}

TEST(VerifyInstallerTest, ChecksRunInOrderAndTheReportNamesTheOneThatFailed) {
  TempFolder folder;
  const std::u16string program = PathText(folder.Write("program.exe", ProgramBytes()));
  const std::u16string page = PathText(folder.Write("page.exe", "<html>login</html>"));
  platform::HeldFile held;
  ASSERT_TRUE(held.Open(program));
  const std::u16string digest = Sha256Text(*platform::FileSha256(held));
  const std::u16string wrong(64, u'0');

  VerificationResult result = VerifyInstallerAt(program, {});
  EXPECT_TRUE(result.passed);
  EXPECT_EQ(result.report, u"installer checks passed: Windows program");

  result = VerifyInstallerAt(program, {Upper(digest), {}});
  EXPECT_TRUE(result.passed) << "an upper-case digest matches";
  EXPECT_EQ(result.report, u"installer checks passed: Windows program, SHA-256 " + Upper(digest));

  result = VerifyInstallerAt(program, {wrong, {}});
  EXPECT_FALSE(result.passed);
  EXPECT_EQ(result.report, u"installer refused: SHA-256: expected " + wrong + u", found " + digest);
  EXPECT_EQ(result.failure, DownloadFailure::DigestMismatch);

  // A page is refused as what it is, before any digest is taken.
  result = VerifyInstallerAt(page, {wrong, u"Plantyx Software Ltd"});
  EXPECT_FALSE(result.passed);
  EXPECT_EQ(result.report, u"installer refused: not a Windows program");
  EXPECT_EQ(result.failure, DownloadFailure::NotAProgram);

  result = VerifyInstallerAt(PathText(folder / "missing.exe"), {});
  EXPECT_FALSE(result.passed);
  EXPECT_EQ(result.failure, DownloadFailure::CheckImpossible);
}

TEST(VerifyInstallerTest, ASignerIsNeverTakenOnTrust) {
  TempFolder folder;
  const std::u16string program = PathText(folder.Write("program.exe", ProgramBytes()));
  const VerificationResult result = VerifyInstallerAt(program, {{}, u"Plantyx Software Ltd"});
  EXPECT_FALSE(result.passed);
  EXPECT_EQ(result.failure, DownloadFailure::SignatureRefused);
#ifdef _WIN32
  // No signature at all: TRUST_E_NOSIGNATURE.
  EXPECT_EQ(result.report, u"installer refused: signer: signature refused, result 0x800B0100");
#else
  EXPECT_EQ(result.report, u"installer refused: signer: not available on this platform");
#endif
}

TEST(HeldFileTest, AHeldFileCannotBeRewrittenOrDeletedUntilReleased) {
  TempFolder folder;
  const std::u16string path = PathText(folder.Write("setup.exe", ProgramBytes()));
  platform::HeldFile held;
  ASSERT_TRUE(held.Open(path));
  platform::HeldFile reader;
  EXPECT_TRUE(reader.Open(path)) << "others may still read it";
  reader.Close();

  platform::File writer;
  EXPECT_FALSE(writer.CreateExclusive(path));
#ifdef _WIN32
  EXPECT_FALSE(platform::RemoveFile(path));
#endif
  EXPECT_EQ(held.Size(), static_cast<int64_t>(ProgramBytes().size()));

  held.Close();
  EXPECT_TRUE(writer.CreateExclusive(path));
  writer.Close();
  EXPECT_TRUE(platform::RemoveFile(path));
}

TEST(HeldFileTest, AFileOpenForWritingCannotBeHeld) {
  TempFolder folder;
  const std::u16string path = PathText(folder / "setup.exe");
  platform::File writer;
  ASSERT_TRUE(writer.CreateExclusive(path));
  platform::HeldFile held;
  EXPECT_FALSE(held.Open(path));
  EXPECT_FALSE(held.Open(PathText(folder.Path()))) << "a folder is no file";
}

}  // namespace
