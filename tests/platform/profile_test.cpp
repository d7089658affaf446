// The same INI cases run natively against our reader and, in the Windows build, against the
// system's own profile call, so the reader is checked against the platform it imitates; a file held
// in memory (packed inside the executable) must answer each case as the file on disk does.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/utf.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace std::string_literals;

struct IniCase {
  const char* name;
  std::string bytes;
  std::u16string section;
  std::u16string key;
  std::u16string expected;  // the default is u"DEFAULT"
};

std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

std::string Utf16Be(std::u16string_view text) {
  std::string bytes = "\xFE\xFF";
  for (char16_t c : text) {
    bytes += static_cast<char>(c >> 8);
    bytes += static_cast<char>(c & 0xFF);
  }
  return bytes;
}

const std::string kLong(300, 'x');
const std::u16string kLongCut(259, u'x');

const IniCase kCases[] = {
    {"plain", "[UISTRING]\r\nIDS_TEXT_CANCEL=Abbrechen\r\n", u"UISTRING", u"IDS_TEXT_CANCEL", u"Abbrechen"},
    {"names ignore case", "[uistring]\nids_text_cancel=X\n", u"UISTRING", u"IDS_TEXT_CANCEL", u"X"},
    {"white space around names and values", "  [ S ]  \n \t my key   =   spaced  value \t \n", u"S", u"my key",
     u"spaced  value"},
    {"text after the closing bracket", "[S] trailing\nK=v\n", u"S", u"K", u"v"},
    {"double quotes", "[S]\nK=\"quoted \"\n", u"S", u"K", u"quoted "},
    {"single quotes", "[S]\nK='single'\n", u"S", u"K", u"single"},
    {"unbalanced quotes", "[S]\nK=\"open\nL='a\"\n", u"S", u"K", u"\"open"},
    {"mixed quotes", "[S]\nK='a\"\n", u"S", u"K", u"'a\""},
    {"lone quote", "[S]\nK=\"\n", u"S", u"K", u"\""},
    {"empty quotes", "[S]\nK=\"\"\n", u"S", u"K", u""},
    {"empty value", "[S]\nK=\n", u"S", u"K", u""},
    {"no equals sign", "[S]\nK\n", u"S", u"K", u"DEFAULT"},
    {"missing key", "[S]\nOTHER=1\n", u"S", u"K", u"DEFAULT"},
    {"missing section", "[T]\nK=1\n", u"S", u"K", u"DEFAULT"},
    {"first of two keys", "[S]\nK=first\nK=second\n", u"S", u"K", u"first"},
    {"comment line", "[S]\n;K=comment\nK=real\n", u"S", u"K", u"real"},
    {"only the first section of a name", "[S]\nA=1\n[T]\nB=0\n[S]\nB=2\n", u"S", u"B", u"DEFAULT"},
    {"unclosed header is a key line", "[S]\n[T\nK=v\n", u"S", u"K", u"v"},
    {"carriage returns alone", "[S]\rK=v\rL=w", u"S", u"L", u"w"},
    {"no final line end", "[S]\nK=last", u"S", u"K", u"last"},
    {"zero character ends a value", "[S]\nK=ab\0cd\n"s, u"S", u"K", u"ab"},
    {"long value is cut", "[S]\nK=" + kLong + "\n", u"S", u"K", kLongCut},
    {"long quoted value is cut", "[S]\nK=\"" + kLong + "\"\n", u"S", u"K", kLongCut},
    {"quoted value that just fits", "[S]\nK=\"" + std::string(258, 'y') + "\"\n", u"S", u"K",
     std::u16string(258, u'y')},
    {"8-bit text", "[S]\nK=Gr\xFC\xDF \x80\n", u"S", u"K", u"Gr\u00FC\u00DF \u20AC"},
    {"UTF-8 with byte-order mark", "\xEF\xBB\xBF[S]\nK=\xC3\xBC\xE2\x82\xAC\n", u"S", u"K", u"\u00FC\u20AC"},
    {"UTF-16LE", Utf16Le(u"[\u0421]\r\nK=\u041E\u0442\u043C\u0435\u043D\u0430\r\n"), u"\u0421", u"k",
     u"\u041E\u0442\u043C\u0435\u043D\u0430"},
    {"UTF-16LE with an odd last byte", Utf16Le(u"[S]\nK=v\n") + "x", u"S", u"K", u"v"},
    {"UTF-16BE", Utf16Be(u"[S]\nK=big\n"), u"S", u"K", u"big"},
    {"empty file", "", u"S", u"K", u"DEFAULT"},
    {"binary file", "\x01\x02\xFF\x00\x7F[\x80]\x00=\x90"s, u"S", u"K", u"DEFAULT"},
};

void PrintTo(const IniCase& c, std::ostream* os) { *os << c.name; }

class ProfileTest : public testing::TestWithParam<IniCase> {};

TEST_P(ProfileTest, LooksUpAsTheSystemDoes) {
  const IniCase& c = GetParam();
  TempFolder folder;
  const std::u16string path = folder.Write("case.ini", c.bytes).u16string();
  EXPECT_EQ(platform::ToUtf8(platform::ReadProfileString(c.section, c.key, u"DEFAULT", path, 260)),
            platform::ToUtf8(c.expected));
  const platform::FileSource inMemory = platform::FileSource::InMemory(c.bytes);
  EXPECT_EQ(platform::ToUtf8(platform::ReadProfileString(c.section, c.key, u"DEFAULT", inMemory, 260)),
            platform::ToUtf8(c.expected))
      << "in memory";
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileTest, testing::ValuesIn(kCases), [](const auto& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
});

TEST(Profile, MissingFileGivesTheDefaultWithoutTrailingBlanks) {
  TempFolder folder;
  const std::u16string missing = (folder / "missing.ini").u16string();
  EXPECT_EQ(platform::ReadProfileString(u"S", u"K", u"Cancel  ", missing, 260), u"Cancel");
  EXPECT_EQ(platform::ReadProfileString(u"S", u"K", u"", missing, 260), u"");
  EXPECT_EQ(platform::ReadProfileString(u"S", u"K", std::u16string(400, u'd'), missing, 260),
            std::u16string(259, u'd'));
}

TEST(Profile, KeyFarIntoALargeFile) {
  TempFolder folder;
  std::string bytes = "[FILLER]\n";
  for (int i = 0; i < 100000; ++i) bytes += "KEY" + std::to_string(i) + "=some filler value\n";
  bytes += "[S]\nK=found\n";
  const std::u16string path = folder.Write("large.ini", bytes).u16string();
  EXPECT_EQ(platform::ReadProfileString(u"S", u"K", u"DEFAULT", path, 260), u"found");
}

TEST(Profile, KeysOfASectionInFileOrder) {
  TempFolder folder;
  const std::u16string path =
      folder.Write("keys.ini", "K0=before any section\n[Other]\nX=1\n[uistring]\n B = 2\nA=1\nno equals\n\n[UISTRING]\nLATER=3\n")
          .u16string();
  // Only the first section of the name counts; a line without "=" names no key.
  const std::vector<std::u16string> expected = {u"B", u"A"};
  EXPECT_EQ(platform::ReadProfileKeys(u"UISTRING", path), expected);
  EXPECT_TRUE(platform::ReadProfileKeys(u"MISSING", path).empty());
  EXPECT_TRUE(platform::ReadProfileKeys(u"UISTRING", (folder / "missing.ini").u16string()).empty());
}

}  // namespace

#ifndef _WIN32
namespace {

// Windows matches names without regard to case beyond ASCII too; Wine's profile call folds ASCII
// only, so this case runs natively alone.
TEST(Profile, NamesBeyondAsciiIgnoreCase) {
  TempFolder folder;
  const std::u16string path =
      folder.Write("case.ini", Utf16Le(u"[\u0421\u00C4]\r\n\u00DCBER=1\r\n")).u16string();
  EXPECT_EQ(platform::ReadProfileString(u"\u0441\u00E4", u"\u00FCber", u"DEFAULT", path, 260), u"1");
}

}  // namespace
#endif
