// The bundle's form and its place in a program file: what is packed comes back whole, a bundle
// with any byte changed is told apart from a whole one, packing again replaces the bundle, and a
// signature added after packing leaves the bundle where the installer finds it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bundle/executable_bundle.h"
#include "platform/little_endian.h"
#include "tests/support/minimal_program.h"
#include "tests/support/temp_folder.h"

namespace {

using bundle::PackedFile;
using bundle::PackedLookup;
using State = bundle::PackedLookup::State;
using testing_support::CertificateEntryAt;
using testing_support::Signed;

const std::vector<PackedFile> kFiles = {
    {u"TorvinWebInstaller.xml", "<torvinwebinstaller/>"},
    {u"TorvinWebInstallerString.ini", "\xFF\xFE[\0U\0]\0"},
    {u"MainWndBkg.jpg", std::string("\xFF\xD8\0\x01", 4)},
    {u"Empty.jpg", ""},
};

class BundleTest : public ::testing::TestWithParam<bool> {
 protected:
  PackedLookup Look(const std::string& program) const { return bundle::ReadPackedFiles(folder.Write("setup.exe", program).u16string()); }
  std::string Packed(const std::string& stub, const std::vector<PackedFile>& files = kFiles) const {
    const std::optional<std::string> packed = bundle::PackExecutable(stub, *bundle::EncodeBundle(files));
    EXPECT_TRUE(packed);
    return packed.value_or("");
  }

  TempFolder folder;
};

TEST_P(BundleTest, PackedFilesComeBackWholeAndInOrderEvenAfterSigning) {
  const std::string stub = testing_support::MinimalProgram(GetParam(), 0x401);
  EXPECT_EQ(Look(stub).state, State::None);
  const std::string packed = Packed(stub);
  EXPECT_EQ(packed.substr(0, 0x20), stub.substr(0, 0x20));
  EXPECT_EQ(packed.size() % 8, 0u);
  for (const std::string& program : {packed, Signed(packed, GetParam())}) {
    const PackedLookup lookup = Look(program);
    ASSERT_EQ(lookup.state, State::Found);
    EXPECT_EQ(lookup.files->Files(), kFiles);
    EXPECT_EQ(lookup.files->Find(u"MainWndBkg.jpg"), kFiles[2].bytes);
    EXPECT_FALSE(lookup.files->Find(u"mainwndbkg.jpg"));
  }
  // A signed program (its padding and table) alone is not packed.
  EXPECT_EQ(Look(Signed(stub, GetParam())).state, State::None);
}

TEST_P(BundleTest, PackingAgainReplacesTheBundleAndDropsTheOldSignature) {
  const std::string stub = testing_support::MinimalProgram(GetParam());
  const std::vector<PackedFile> other = {{u"TorvinWebInstaller.xml", "<other/>"}};
  const std::string repacked = Packed(Signed(Packed(stub), GetParam()), other);
  EXPECT_EQ(repacked, Packed(stub, other));
  EXPECT_EQ(platform::GetLittleEndian(repacked, CertificateEntryAt(GetParam())), 0u);
  EXPECT_EQ(Look(repacked).files->Files(), other);
}

TEST_P(BundleTest, AnyChangedOrMissingByteOfTheBundleIsDamage) {
  const std::string stub = testing_support::MinimalProgram(GetParam());
  const std::string packed = Packed(stub, {{u"a.xml", "<x/>"}, {u"b.ini", "[UISTRING]"}});
  const size_t bundleEnd = stub.size() + *bundle::DeclaredBundleLength(std::string_view(packed).substr(stub.size()));
  for (size_t at = stub.size(); at < bundleEnd; ++at) {
    std::string changed = packed;
    changed[at] = static_cast<char>(changed[at] ^ 0x01);
    const State state = Look(changed).state;
    // The first eight bytes name the bundle: changed, what follows the image is no bundle at all,
    // which is damage too.
    EXPECT_EQ(state, State::Damaged) << "byte " << at - stub.size() << " of the bundle";
  }
  EXPECT_EQ(Look(packed.substr(0, bundleEnd - 1)).state, State::Damaged);
  EXPECT_EQ(Look(packed + std::string(8, '\0')).state, State::Damaged);
}

// A program that was not stripped keeps its symbol table after its image; packing drops it, so
// such a program carries no packed files, and is no damaged one either.
TEST_P(BundleTest, ASymbolTableAfterTheImageIsNoBundle) {
  std::string program = testing_support::MinimalProgram(GetParam());
  const size_t symbolTablePointer = platform::GetLittleEndian(program, 0x3C) + 12;
  platform::PutLittleEndian(program, symbolTablePointer, static_cast<uint32_t>(program.size()));
  program += std::string(64, '\x2A');
  EXPECT_EQ(Look(program).state, State::None);
}

// Headers whose size field falls short of their own end, and no section data: the image still
// holds the headers, whose fields packing changes.
TEST_P(BundleTest, TheImageAlwaysHoldsTheHeaders) {
  std::string stub = testing_support::MinimalProgram(GetParam(), 0);
  platform::PutLittleEndian(stub, testing_support::kProgramPeAt + 24 + 60, 0x40);
  const std::string packed = Packed(Signed(stub, GetParam()));
  EXPECT_EQ(platform::GetLittleEndian(packed, CertificateEntryAt(GetParam())), 0u);
  const PackedLookup lookup = Look(packed);
  ASSERT_EQ(lookup.state, State::Found);
  EXPECT_EQ(lookup.files->Files(), kFiles);
}

INSTANTIATE_TEST_SUITE_P(BothForms, BundleTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Pe64" : "Pe32"; });

TEST(BundleFormTest, NamesThatCannotBePackedAreRefused) {
  for (const std::u16string& name : {std::u16string(), std::u16string(256, u'a'), std::u16string(u"caf\u00E9.jpg")})
    EXPECT_FALSE(bundle::EncodeBundle({{name, "x"}}));
  EXPECT_TRUE(bundle::EncodeBundle({{std::u16string(255, u'a'), "x"}}));
  EXPECT_FALSE(bundle::PackExecutable("not a program", *bundle::EncodeBundle({})));
}

}  // namespace
