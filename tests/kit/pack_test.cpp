// `pack` and `unpack`: a checked folder goes into the installer and comes back byte for byte; a
// folder the installer would refuse is not packed without --force; `check` reads a packed file as
// a folder, and `preview` paints it; a pack with a changed byte is refused by everything that reads it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "kit/check_command.h"
#include "kit/pack_command.h"
#include "kit/preview_command.h"
#include "platform/utf.h"
#include "tests/kit/vendor_folder_fixture.h"
#include "tests/support/minimal_program.h"

namespace kit {
namespace {

using test::VendorFolder;

// Every file of `folder` by name, with its bytes.
std::map<std::string, std::string> Contents(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files[entry.path().filename().string()] = test::ReadFile(entry.path());
  return files;
}

class PackTest : public ::testing::Test {
 protected:
  PackTest() { scratch.Write("TorvinWebInstaller.exe", testing_support::MinimalProgram(false, 0x1234)); }

  int Run(Command::Kind kind, const std::u16string& input, const std::filesystem::path& output, bool force = false) {
    Command command;
    command.kind = kind;
    command.input = input;
    command.out = output.u16string();
    command.stub = (scratch / "TorvinWebInstaller.exe").u16string();
    command.force = force;
    out.str("");
    err.str("");
    if (kind == Command::Kind::Pack) return RunPack(command, out, err);
    if (kind == Command::Kind::Unpack) return RunUnpack(command, out, err);
    if (kind == Command::Kind::Preview) return RunPreview(command, out, err);
    return RunCheck(command, out, err);
  }

  TempFolder scratch;
  std::ostringstream out, err;
};

TEST_F(PackTest, PackThenUnpackGivesTheFolderBackByteForByte) {
  const std::vector<std::pair<std::string, std::function<void(const VendorFolder&)>>> folders = {
      {"the sample: UTF-16 texts file and @2x copies", [](const VendorFolder&) {}},
      {"without a texts file", [](const VendorFolder& f) { f.Remove("TorvinWebInstallerString.ini"); }},
      {"the texts file in UTF-8, no @2x copies",
       [](const VendorFolder& f) {
         const std::string utf16 = test::ReadFile(f / "TorvinWebInstallerString.ini");
         f.Write("TorvinWebInstallerString.ini", "\xEF\xBB\xBF" + platform::ToUtf8(test::FromUtf16(utf16.substr(2))));
         for (const auto& entry : std::filesystem::directory_iterator(f / ""))
           if (entry.path().filename().string().find("@2x") != std::string::npos) std::filesystem::remove(entry);
       }},
  };
  for (const auto& [what, change] : folders) {
    SCOPED_TRACE(what);
    const VendorFolder folder;
    change(folder);
    const std::filesystem::path packed = scratch / "Setup.exe", back = scratch / "back";
    ASSERT_EQ(Run(Command::Kind::Pack, folder.Path(), packed), 0) << out.str() << err.str();
    EXPECT_NE(out.str().find("into " + packed.string()), std::string::npos) << out.str();
    ASSERT_EQ(Run(Command::Kind::Unpack, packed.u16string(), back), 0) << err.str();
    EXPECT_EQ(Contents(back), Contents(folder / ""));
    std::filesystem::remove_all(back);
  }
}

TEST_F(PackTest, APackedFileIsCheckedAndPreviewedAsItsFolder) {
  const VendorFolder folder;
  const std::filesystem::path packed = scratch / "Setup.exe";
  ASSERT_EQ(Run(Command::Kind::Pack, folder.Path(), packed), 0) << err.str();
  EXPECT_EQ(Run(Command::Kind::Check, packed.u16string(), {}), 0) << out.str();
  EXPECT_NE(out.str().find("No findings: nothing to fix."), std::string::npos);
  ASSERT_EQ(Run(Command::Kind::Preview, packed.u16string(), scratch / "pictures"), 0) << err.str();
  EXPECT_TRUE(std::filesystem::exists(scratch / "pictures" / "preview.png"));
  // The stub itself holds no pack: nothing to check, nothing to unpack.
  EXPECT_EQ(Run(Command::Kind::Check, (scratch / "TorvinWebInstaller.exe").u16string(), {}), 1);
  EXPECT_NE(err.str().find("holds no packed files"), std::string::npos) << err.str();
}

TEST_F(PackTest, AFolderTheInstallerWouldRefuseIsPackedOnlyByForce) {
  const VendorFolder folder;
  folder.Remove("TorvinWebInstaller.xml");
  const std::filesystem::path packed = scratch / "Setup.exe";
  EXPECT_EQ(Run(Command::Kind::Pack, folder.Path(), packed), 1);
  EXPECT_NE(out.str().find("TorvinWebInstaller.xml"), std::string::npos) << out.str();
  EXPECT_NE(err.str().find("--force"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(packed));
  EXPECT_EQ(Run(Command::Kind::Pack, folder.Path(), packed, true), 0) << err.str();
  EXPECT_TRUE(std::filesystem::exists(packed));
}

TEST_F(PackTest, APackWithOneChangedByteIsRefused) {
  const VendorFolder folder;
  const std::filesystem::path packed = scratch / "Setup.exe";
  ASSERT_EQ(Run(Command::Kind::Pack, folder.Path(), packed), 0) << err.str();
  std::string bytes = test::ReadFile(packed);
  bytes[0x1234 + 0x200 + 1000] ^= 0x20;  // inside the configuration, right after the program's image
  scratch.Write("Setup.exe", bytes);
  EXPECT_EQ(Run(Command::Kind::Unpack, packed.u16string(), scratch / "back"), 1);
  EXPECT_NE(err.str().find("damaged"), std::string::npos) << err.str();
  EXPECT_FALSE(std::filesystem::exists(scratch / "back"));
  EXPECT_EQ(Run(Command::Kind::Check, packed.u16string(), {}), 1);
}

}  // namespace
}  // namespace kit
