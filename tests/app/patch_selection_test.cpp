// Patch selection against registry keys (the Wine prefix's real registry on Windows, the store on
// Linux) and real configuration files.
#include "app/patch_selection.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/registry.h"
#include "tests/app/config_xml.h"
#include "tests/app/run_log_capture.h"
#include "tests/app/scratch_config.h"
#include "tests/support/test_registry_keys.h"

using namespace config_xml;
using platform::RegistryView;

namespace {

const PlatformInfo kWin7x64{u"Windows 7", u"64"};

std::string PatchEntry(const std::string& attributes, const std::string& os, const std::string& bit,
                       const std::string& patch) {
  return Info(attributes, E("os", os) + E("bit", bit) + E("rlink", "http://full/" + bit) + E("patch", patch));
}

// Patches for both bitnesses of Windows 7, and one for another system.
const std::string kPatches = Document(E("name", "P") + E("registry", "ignored") +
                                      PatchEntry("", "Windows 8", "64", "http://patch/8-64") +
                                      PatchEntry("", "Windows 7", "32", "http://patch/7-32") +
                                      PatchEntry("default=\"YES\"", "Windows 7", "64", "http://patch/7-64"));

class PatchSelection : public testing::Test {
 protected:
  // A configuration as the dialog holds it before the call: the patch link is the installer link.
  InstallerConfig Installed(const std::u16string& keyName) {
    InstallerConfig config;
    config.strRegistryKey = keys.PathOf(keyName);
    config.strInstallerUrl = config.strPatchUrl = u"http://full/installer";
    return config;
  }

  TestRegistryKeys keys;
  ScratchConfig file;
};

}  // namespace

TEST_F(PatchSelection, TheViewTheProductIsFoundInChoosesThePatchBitness) {
  struct Case {
    const char* title;
    std::vector<RegistryView> views;  // where the product's key is written
    PlatformInfo platform;
    bool installed;
    std::u16string patchUrl;
  };
  const Case cases[] = {
      {"64-bit view on a 64-bit system", {RegistryView::Bits64}, kWin7x64, true, u"http://patch/7-64"},
      {"only the 32-bit view on a 64-bit system",
       {RegistryView::Bits32},
       kWin7x64,
       true,
       u"http://patch/7-32"},
      {"both views: the 64-bit one is asked first",
       {RegistryView::Bits32, RegistryView::Bits64},
       kWin7x64,
       true,
       u"http://patch/7-64"},
      {"nowhere", {}, kWin7x64, false, u"http://full/installer"},
      {"unknown system",
       {RegistryView::Bits64, RegistryView::Bits32},
       PlatformInfo{},
       false,
       u"http://full/installer"},
      {"unknown bitness text",
       {RegistryView::Bits64, RegistryView::Bits32},
       PlatformInfo{u"Windows 7", u"x64"},
       false,
       u"http://full/installer"},
#ifndef _WIN32
      // A 64-bit Wine prefix has two views; the 32-bit system is the 32-bit prefix's run below.
      {"32-bit system",
       {RegistryView::Bits32},
       PlatformInfo{u"Windows 7", u"32"},
       true,
       u"http://patch/7-32"},
      {"32-bit system ignores the 64-bit view",
       {RegistryView::Bits64},
       PlatformInfo{u"Windows 7", u"32"},
       false,
       u"http://full/installer"},
#endif
  };
  std::u16string path = file.Write(kPatches);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    keys.Clear();
    for (RegistryView view : c.views) ASSERT_TRUE(keys.Add(u"Plantyx", view));
    InstallerConfig config = Installed(u"Plantyx");
    EXPECT_EQ(SelectPatchLink(path, c.platform, config), c.installed);
    EXPECT_EQ(config.strPatchUrl, c.patchUrl);
    EXPECT_EQ(config.strInstallerUrl, u"http://full/installer");
  }
}

TEST_F(PatchSelection, InstalledWithoutAMatchingPatchKeepsTheInstallerLinkAndSaysSo) {
  ASSERT_TRUE(keys.Add(u"Plantyx", RegistryView::Bits64));
  InstallerConfig config = Installed(u"Plantyx");
  RunLogCapture log;
  // Only a patch for the 32-bit copy, but the 64-bit one is installed.
  EXPECT_TRUE(SelectPatchLink(file.Write(Document(PatchEntry("", "Windows 7", "32", "http://patch/7-32"))),
                              kWin7x64, config));
  EXPECT_EQ(config.strPatchUrl, u"http://full/installer");
  EXPECT_TRUE(log.Has("is in the 64-bit registry view: installed"));
  EXPECT_EQ(log.Lines().back(), "patch link not found! the entry's own link is used");

  // A file that cannot be read finds no patch either.
  ScratchConfig missing;
  EXPECT_TRUE(SelectPatchLink(missing.Path() + u".absent", kWin7x64, config));
  EXPECT_EQ(config.strPatchUrl, u"http://full/installer");
  EXPECT_EQ(log.Lines().back(), "patch link not found! the entry's own link is used");
}

TEST_F(PatchSelection, NoRegistryKeyMeansNotInstalled) {
  InstallerConfig config;
  config.strPatchUrl = u"http://full/installer";
  EXPECT_FALSE(SelectPatchLink(file.Write(kPatches), kWin7x64, config));
  EXPECT_EQ(config.strPatchUrl, u"http://full/installer");
}

TEST(FindPatchLink, SearchesEveryEntryForwardOnly) {
  struct Case {
    const char* title;
    std::string xml;
    bool found;
    std::u16string patchUrl;
  };
  const Case cases[] = {
      {"the first matching entry wins",
       Document(PatchEntry("", "Windows 7", "64", "http://patch/first") +
                PatchEntry("", "Windows 7", "64", "http://patch/second")),
       true, u"http://patch/first"},
      {"a match without patch does not stop the search",
       Document(Entry("", "Windows 7", "64", "http://full") +
                PatchEntry("", "Windows 7", "64", "http://patch/2")),
       true, u"http://patch/2"},
      {"patch before bit is not found",
       Document(Info("", E("os", "Windows 7") + E("patch", "http://patch/early") + E("bit", "64"))), false,
       u"kept"},
      {"entries before name and registry are seen too",
       Document(PatchEntry("", "Windows 7", "64", "http://patch/early") + E("name", "P") +
                E("registry", "K")),
       true, u"http://patch/early"},
      {"the default mark plays no part",
       Document(PatchEntry("default=\"YES\"", "Windows 8", "64", "http://patch/8") +
                PatchEntry("", "Windows 7", "64", "http://patch/7")),
       true, u"http://patch/7"},
      {"entry without os is skipped",
       Document(Info("", E("bit", "64") + E("patch", "http://patch/no-os")) +
                PatchEntry("", "Windows 7", "64", "http://patch/7")),
       true, u"http://patch/7"},
      {"patch text is decoded", Document(PatchEntry("", "Windows 7", "64", "http://p/?a&amp;b")), true,
       u"http://p/?a&b"},
      {"other bitness only", Document(PatchEntry("", "Windows 7", "32", "http://patch/32")), false, u"kept"},
      {"ill-formed", "<torvinwebinstaller><product>" + PatchEntry("", "Windows 7", "64", "x"), false,
       u"kept"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    ScratchConfig file;
    InstallerConfig config;
    config.strPatchUrl = u"kept";
    EXPECT_EQ(FindPatchLink(file.Write(c.xml), kWin7x64, u"64", config), c.found);
    EXPECT_EQ(config.strPatchUrl, c.patchUrl);
  }
}

TEST(FindPatchLink, ThePatchBringsItsOwnDigest) {
  const std::string digest(64, 'c');
  ScratchConfig file;
  InstallerConfig config;
  config.strPatchSha256 = u"installer's";
  const std::string withDigest = Info(
      "", E("os", "Windows 7") + E("bit", "64") + "<patch sha256=\"" + digest + "\">http://patch/7</patch>");
  EXPECT_TRUE(FindPatchLink(file.Write(Document(withDigest)), kWin7x64, u"64", config));
  EXPECT_EQ(config.strPatchSha256, std::u16string(64, u'c'));
  // A patch without one is not checked against the installer's.
  EXPECT_TRUE(FindPatchLink(file.Write(Document(PatchEntry("", "Windows 7", "64", "http://p"))), kWin7x64,
                            u"64", config));
  EXPECT_EQ(config.strPatchSha256, u"");
}

#ifdef _WIN32
// Run in the 32-bit prefix too, where there is one registry view and the system is 32-bit: a copy
// in the 32-bit view gets the "32" entry's patch on either system, from a 32-bit or a 64-bit build.
TEST(PatchSelectionUnderWine, KeyOfThe32BitViewGivesThePatchOfThe32BitEntry) {
  TestRegistryKeys keys;
  ScratchConfig file;
  ASSERT_TRUE(keys.Add(u"Plantyx", RegistryView::Bits32));
  PlatformInfo platform{u"Windows 7", u""};
  const char* bits = std::getenv("TORVIN_WINE_SYSTEM_BITS");
  platform.strBits = bits && std::string(bits) == "32" ? u"32" : u"64";
  InstallerConfig config;
  config.strRegistryKey = keys.PathOf(u"Plantyx");
  config.strPatchUrl = u"http://full/installer";
  EXPECT_TRUE(SelectPatchLink(file.Write(kPatches), platform, config));
  EXPECT_EQ(config.strPatchUrl, u"http://patch/7-32");
}
#endif
