// The configuration reader on real files: the search order, the default mark, the early stop, and
// files that cannot be used.
#include "app/installer_config.h"

#include <gtest/gtest.h>

#include "tests/app/config_xml.h"
#include "tests/app/scratch_config.h"

using namespace config_xml;

namespace {

const PlatformInfo kWin7x64{u"Windows 7", u"64"};
const PlatformInfo kWin8x64{u"Windows 8", u"64"};
const PlatformInfo kUnknown{};

struct LoadCase {
  const char* title;
  std::string xml;
  PlatformInfo platform;
  bool result;
  std::u16string installerUrl;
  std::u16string defaultUrl;  // "kept": the value before the call stays
};

// Runs one case from a configuration whose links are stale, so that what is kept shows.
void Check(const LoadCase& c) {
  SCOPED_TRACE(c.title);
  ScratchConfig file;
  InstallerConfig config;
  config.strInstallerUrl = u"stale";
  config.strDefaultUrl = u"kept";
  EXPECT_EQ(LoadConfiguration(file.Write(c.xml), c.platform, config), c.result);
  EXPECT_EQ(config.strInstallerUrl, c.installerUrl);
  EXPECT_EQ(config.strDefaultUrl, c.defaultUrl);
}

}  // namespace

TEST(LoadConfiguration, ChoosesTheLinksByEntryOrderAndDefaultMark) {
  const LoadCase cases[] = {
      {"the entry for this system is the default one",
       Document(Entry("default=\"YES\"", "Windows 7", "64", "http://a/7.exe")), kWin7x64, true,
       u"http://a/7.exe", u"http://a/7.exe"},
      {"default from an earlier entry for another system; the search stops once both are known",
       Document(Entry("default=\"YES\"", "Windows 7", "64", "http://a/7.exe") +
                Entry("", "Windows 8", "64", "http://a/8.exe") +
                Entry("", "Windows 8", "64", "http://a/late.exe") +
                Entry("default=\"YES\"", "Windows XP", "32", "http://a/late-default.exe")),
       kWin8x64, true, u"http://a/8.exe", u"http://a/7.exe"},
      {"a default entry after the entry for this system also stops the search",
       Document(Entry("", "Windows 7", "64", "http://a/7.exe") +
                Entry("default=\"YES\"", "Windows 8", "64", "http://a/8.exe") +
                Entry("", "Windows 7", "64", "http://a/late.exe")),
       kWin7x64, true, u"http://a/7.exe", u"http://a/8.exe"},
      {"later entries overwrite until the stop",
       Document(Entry("", "Windows 7", "64", "http://a/first.exe") +
                Entry("", "Windows 7", "64", "http://a/second.exe")),
       kWin7x64, true, u"http://a/second.exe", u"kept"},
      {"default in lower case marks nothing",
       Document(Entry("default=\"yes\"", "Windows 8", "64", "http://a/8.exe") +
                Entry("", "Windows 7", "64", "http://a/7.exe")),
       kWin7x64, true, u"http://a/7.exe", u"kept"},
      {"a marked entry without os passes its mark on to the next entry",
       Document(Info("default=\"YES\"", E("bit", "64") + E("rlink", "http://a/no-os.exe")) +
                Entry("", "Windows 8", "64", "http://a/8.exe") +
                Entry("", "Windows 7", "64", "http://a/7.exe")),
       kWin7x64, true, u"http://a/7.exe", u"http://a/8.exe"},
      {"a passed-on mark makes the entry for this system the default",
       Document(Info("default=\"YES\"", "") + Entry("", "Windows 7", "64", "http://a/7.exe")), kWin7x64, true,
       u"http://a/7.exe", u"http://a/7.exe"},
      {"a marked entry for another system without rlink uses up its mark",
       Document(Info("default=\"YES\"", E("os", "Windows 8")) +
                Entry("", "Windows XP", "32", "http://a/xp.exe")),
       kWin7x64, false, u"", u"kept"},
      {"only a default link for another system: true with an empty installer link",
       Document(Entry("default=\"YES\"", "Windows XP", "32", "http://a/xp.exe")), kWin7x64, true, u"",
       u"http://a/xp.exe"},
      {"a default entry needs no bit: its rlink follows os",
       Document(Info("default=\"YES\"", E("os", "Windows XP") + E("rlink", "http://a/xp.exe"))), kWin7x64,
       true, u"", u"http://a/xp.exe"},
      {"the bitness must match", Document(Entry("", "Windows 7", "32", "http://a/7-32.exe")), kWin7x64, false,
       u"", u"kept"},
      {"rlink before bit is not found, searches move forward only",
       Document(Info("", E("os", "Windows 7") + E("rlink", "http://a/7.exe") + E("bit", "64"))), kWin7x64,
       false, u"", u"kept"},
      {"bit before os is not found",
       Document(Info("", E("bit", "64") + E("os", "Windows 7") + E("rlink", "http://a/7.exe"))), kWin7x64,
       false, u"", u"kept"},
      {"other elements between os, bit and rlink are skipped",
       Document(Info("", E("os", "Windows 7") + E("note", "x") + "<!-- c -->" + E("bit", "64") + "<x/>" +
                             E("rlink", "http://a/7.exe"))),
       kWin7x64, true, u"http://a/7.exe", u"kept"},
      {"names are compared exactly, without trimming or case folding",
       Document(Entry("", " Windows 7", "64", "http://a/1.exe") +
                Entry("", "windows 7", "64", "http://a/2.exe") +
                Entry("", "Windows 7", "64 ", "http://a/3.exe")),
       kWin7x64, false, u"", u"kept"},
      {"link text is decoded, not trimmed",
       Document(Entry("", "Windows 7", "64", " http://a/x?a=1&amp;b=2&#x41;&bogus; ")), kWin7x64, true,
       u" http://a/x?a=1&b=2A&bogus; ", u"kept"},
      {"an unrecognised system matches an entry with empty os and bit",
       Document(Entry("", "Windows 7", "64", "http://a/7.exe") +
                Info("", "<os/><bit></bit><rlink>http://a/any.exe</rlink>")),
       kUnknown, true, u"http://a/any.exe", u"kept"},
      {"entities declared by the document are not expanded",
       "<!DOCTYPE torvinwebinstaller [<!ENTITY a \"http://evil/\">]><torvinwebinstaller><product>" +
           Entry("", "Windows 7", "64", "&a;x.exe") + "</product></torvinwebinstaller>",
       kWin7x64, true, u"&a;x.exe", u"kept"},
      {"no entries", Document(E("name", "P")), kWin7x64, false, u"", u"kept"},
      {"entries outside product are not seen",
       "<torvinwebinstaller><product/>" + Entry("", "Windows 7", "64", "http://a/7.exe") +
           "</torvinwebinstaller>",
       kWin7x64, false, u"", u"kept"},
  };
  for (const LoadCase& c : cases) Check(c);
}

TEST(LoadConfiguration, EntriesBeforeNameOrRegistryAreNotSeen) {
  const std::string early = Entry("default=\"YES\"", "Windows 7", "64", "http://a/early.exe");
  const std::string late = Entry("", "Windows 7", "64", "http://a/late.exe");
  const LoadCase cases[] = {
      {"before registry", Document(E("name", "P") + early + E("registry", "Software\\P") + late), kWin7x64,
       true, u"http://a/late.exe", u"kept"},
      {"before name, without registry", Document(early + E("name", "P") + late), kWin7x64, true,
       u"http://a/late.exe", u"kept"},
      {"before registry, without name", Document(early + E("registry", "Software\\P") + late), kWin7x64, true,
       u"http://a/late.exe", u"kept"},
      {"registry before name is not seen: the entry after name is",
       Document(E("registry", "Software\\P") + E("name", "P") + early), kWin7x64, true, u"http://a/early.exe",
       u"http://a/early.exe"},
  };
  for (const LoadCase& c : cases) Check(c);
}

TEST(LoadConfiguration, ReadsNameAndRegistryKeyForwardOnly) {
  ScratchConfig file;
  InstallerConfig config;
  std::u16string path = file.Write(Document(E("name", "Plantyx &amp; Co Setup") + E("name", "second") +
                                            E("registry", "Software\\Kestrix\\Plantyx") +
                                            Entry("", "Windows 7", "64", "http://a/7.exe")));
  EXPECT_TRUE(LoadConfiguration(path, kWin7x64, config));
  EXPECT_EQ(config.strProductName, u"Plantyx & Co Setup");
  EXPECT_EQ(config.strRegistryKey, u"Software\\Kestrix\\Plantyx");

  // Registry before name: the search for it starts after name and misses it; both keep old values.
  InstallerConfig earlier;
  earlier.strProductName = u"old name";
  earlier.strRegistryKey = u"old key";
  path = file.Write(Document(E("registry", "Software\\X") + Entry("", "Windows 7", "64", "http://a/7.exe")));
  EXPECT_TRUE(LoadConfiguration(path, kWin7x64, earlier));
  EXPECT_EQ(earlier.strProductName, u"old name");
  EXPECT_EQ(earlier.strRegistryKey, u"Software\\X");
  path = file.Write(Document(E("name", "New") + Entry("", "Windows 7", "64", "http://a/7.exe")));
  EXPECT_TRUE(LoadConfiguration(path, kWin7x64, earlier));
  EXPECT_EQ(earlier.strProductName, u"New");
  EXPECT_EQ(earlier.strRegistryKey, u"Software\\X");
}

TEST(LoadConfiguration, UnusableFilesGiveFalse) {
  const std::pair<const char*, std::string> files[] = {
      {"empty", ""},
      {"not xml", "hello"},
      {"ill-formed",
       "<torvinwebinstaller><product>" + Entry("", "Windows 7", "64", "x") + "</torvinwebinstaller>"},
      {"other document element",
       "<installer><product>" + Entry("", "Windows 7", "64", "x") + "</product></installer>"},
      {"no product", "<torvinwebinstaller>" + Entry("", "Windows 7", "64", "x") + "</torvinwebinstaller>"},
      {"product in the wrong case", "<torvinwebinstaller><Product>" + Entry("", "Windows 7", "64", "x") +
                                        "</Product></torvinwebinstaller>"},
  };
  for (const auto& [title, xml] : files) {
    SCOPED_TRACE(title);
    ScratchConfig file;
    InstallerConfig config;
    config.strProductName = u"name";
    config.strRegistryKey = u"key";
    config.strInstallerUrl = u"stale";
    config.strDefaultUrl = u"kept";
    EXPECT_FALSE(LoadConfiguration(file.Write(xml), kWin7x64, config));
    EXPECT_EQ(config.strInstallerUrl, u"");
    EXPECT_EQ(config.strDefaultUrl, u"kept");
  }
  ScratchConfig folder;
  InstallerConfig config;
  EXPECT_FALSE(LoadConfiguration(folder.Path(), kWin7x64, config));  // never written: missing
}

std::string Link(const std::string& name, const std::string& digestAttribute, const std::string& url) {
  return "<" + name + " " + digestAttribute + ">" + url + "</" + name + ">";
}

TEST(LoadConfiguration, EachLinkKeepsItsOwnDigestAndTheProductItsSigner) {
  const std::string lower(64, 'a'), upper = "ABCDEF0123456789" + std::string(48, 'F');
  ScratchConfig file;
  InstallerConfig config;
  const std::string xml =
      "<torvinwebinstaller><product signer=\"Plantyx Software Ltd\">" +
      Info("default=\"YES\"", E("os", "Windows 7") + E("bit", "64") +
                                  Link("rlink", "sha256=\"" + lower + "\"", "http://a/7.exe")) +
      Info("", E("os", "Windows 8") + E("bit", "64") +
                   Link("rlink", "sha256='" + upper + "'", "http://a/8.exe")) +
      "</product></torvinwebinstaller>";
  ASSERT_TRUE(LoadConfiguration(file.Write(xml), kWin8x64, config));
  EXPECT_EQ(config.strInstallerSha256, std::u16string(upper.begin(), upper.end()));
  EXPECT_EQ(config.strDefaultSha256, std::u16string(lower.begin(), lower.end()));
  EXPECT_EQ(config.strSigner, u"Plantyx Software Ltd");

  // Without the attributes nothing is checked beyond the program itself.
  InstallerConfig plain;
  ASSERT_TRUE(LoadConfiguration(file.Write(Document(Entry("default=\"YES\"", "Windows 7", "64", "http://a"))),
                                kWin7x64, plain));
  EXPECT_EQ(plain.strInstallerSha256, u"");
  EXPECT_EQ(plain.strDefaultSha256, u"");
  EXPECT_EQ(plain.strSigner, u"");
}

TEST(LoadConfiguration, AMalformedDigestAnywhereMakesTheFileUnusable) {
  const std::string good = "sha256=\"" + std::string(64, '0') + "\"";
  const std::string thisSystem = E("os", "Windows 7") + E("bit", "64");
  const std::pair<const char*, std::string> cases[] = {
      {"63 digits",
       Info("", thisSystem + Link("rlink", "sha256=\"" + std::string(63, '0') + "\"", "http://a"))},
      {"65 digits",
       Info("", thisSystem + Link("rlink", "sha256=\"" + std::string(65, '0') + "\"", "http://a"))},
      {"not hexadecimal",
       Info("", thisSystem + Link("rlink", "sha256=\"" + std::string(63, '0') + "g\"", "http://a"))},
      {"empty", Info("", thisSystem + Link("rlink", "sha256=\"\"", "http://a"))},
      {"on the patch",
       Info("", thisSystem + Link("rlink", good, "http://a") + Link("patch", "sha256=\"x\"", "p"))},
      {"on an entry for another system",
       Info("", thisSystem + Link("rlink", good, "http://a")) +
           Info("", E("os", "Windows 8") + E("bit", "64") + Link("rlink", "sha256=\"0\"", "http://b"))},
  };
  for (const auto& [title, entries] : cases) {
    SCOPED_TRACE(title);
    ScratchConfig file;
    InstallerConfig config;
    EXPECT_FALSE(LoadConfiguration(file.Write(Document(entries)), kWin7x64, config));
  }
}

// Like an empty digest, an empty signer never turns its check off unnoticed.
TEST(LoadConfiguration, AnEmptySignerMakesTheFileUnusable) {
  ScratchConfig file;
  InstallerConfig config;
  const std::string entry = Entry("default=\"YES\"", "Windows 7", "64", "http://a");
  EXPECT_FALSE(LoadConfiguration(
      file.Write("<torvinwebinstaller><product signer=\"\">" + entry + "</product></torvinwebinstaller>"), kWin7x64,
      config));
}

TEST(LoadConfiguration, ReadsEveryEncodingTheFileReaderKnows) {
  const std::string body = "<torvinwebinstaller><product><name>Caf\xc3\xa9 \xe2\x82\xac</name>" +
                           Entry("", "Windows 7", "64", "http://a/7.exe") + "</product></torvinwebinstaller>";
  std::u16string utf16 =
      u"<torvinwebinstaller><product><name>Caf\u00e9 \u20ac</name>"
      u"<installerInfo><os>Windows 7</os><bit>64</bit><rlink>http://a/7.exe</rlink>"
      u"</installerInfo></product></torvinwebinstaller>";
  auto utf16Bytes = [&](bool bigEndian) {
    std::string bytes = bigEndian ? "\xfe\xff" : "\xff\xfe";
    for (char16_t c : utf16) {
      char high = char(c >> 8), low = char(c & 0xff);
      bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
  };
  const std::pair<const char*, std::string> files[] = {
      {"utf-8", body},
      {"utf-8 with byte-order mark", "\xef\xbb\xbf" + body},
      {"utf-16 little-endian", utf16Bytes(false)},
      {"utf-16 big-endian", utf16Bytes(true)},
      {"declared windows-1252",
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?><torvinwebinstaller><product>"
       "<name>Caf\xe9 \x80</name>" +
           Entry("", "Windows 7", "64", "http://a/7.exe") + "</product></torvinwebinstaller>"},
  };
  for (const auto& [title, bytes] : files) {
    SCOPED_TRACE(title);
    ScratchConfig file;
    InstallerConfig config;
    EXPECT_TRUE(LoadConfiguration(file.Write(bytes), kWin7x64, config));
    EXPECT_EQ(config.strProductName, u"Caf\u00e9 \u20ac");
    EXPECT_EQ(config.strInstallerUrl, u"http://a/7.exe");
  }
}

TEST(LoadConfiguration, CopesWithThousandsOfEntriesAndHugeTexts) {
  std::string entries;
  for (int i = 0; i < 20000; ++i) entries += Entry("", "Windows 8", "32", "http://a/" + std::to_string(i));
  for (int i = 0; i < 3000; ++i)
    entries += Entry("default=\"YES\"", "Windows XP", "32", "http://d/" + std::to_string(i));
  const std::string hugeLink = "http://a/" + std::string(4 << 20, 'x') + "&amp;";
  ScratchConfig file;
  InstallerConfig config;
  EXPECT_TRUE(LoadConfiguration(file.Write(Document(entries)), kWin7x64, config));
  EXPECT_EQ(config.strInstallerUrl, u"");
  EXPECT_EQ(config.strDefaultUrl, u"http://d/2999");

  EXPECT_TRUE(LoadConfiguration(file.Write(Document(entries + Entry("", "Windows 7", "64", hugeLink))),
                                kWin7x64, config));
  EXPECT_EQ(config.strInstallerUrl.size(), hugeLink.size() - 4);
  EXPECT_EQ(config.strDefaultUrl, u"http://d/2999");
}
