// Which product names make a plain file name in the executable's folder.
#include "app/installer_path.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

TEST(InstallerPathTest, KeepsTheProductNameUnchanged) {
  EXPECT_EQ(InstallerPathFor(u"C:\\Downloads", u"Plantyx Setup"), u"C:\\Downloads\\Plantyx Setup.exe");
}

TEST(InstallerPathTest, PlainNamesPass) {
  for (const char16_t* name : {u"Plantyx Setup.exe", u".exe", u"a..exe", u"Console.exe", u"COM10.exe", u"Ünïcode.exe"}) {
    EXPECT_TRUE(IsPlainFileName(name)) << static_cast<int>(name[0]);
  }
}

TEST(InstallerPathTest, NamesThatLeaveTheFolderOrOpenADeviceAreRefused) {
  for (const char16_t* name :
       {u"..\\evil.exe", u"../evil.exe", u"C:evil.exe", u"sub/dir.exe", u"a:stream.exe", u"a*b.exe", u"a?.exe",
        u"a\"b.exe", u"a<b.exe", u"a>b.exe", u"a|b.exe", u"tab\there.exe", u"nul.exe", u"CON.exe", u"com1.exe",
        u"Lpt9.exe", u"aux .exe", u"conin$.exe", u""}) {
    EXPECT_FALSE(IsPlainFileName(name));
  }
}

// Every port number the system opens as a device, with and without a further extension.
TEST(InstallerPathTest, EveryPortNumberIsADevice) {
  for (const std::u16string port : {u"COM", u"lpt"}) {
    for (const char16_t digit : std::u16string_view(u"0123456789\u00B9\u00B2\u00B3")) {
      const std::u16string stem = port + digit;
      EXPECT_FALSE(IsPlainFileName(stem + u".exe")) << static_cast<int>(digit);
      EXPECT_FALSE(IsPlainFileName(stem + u".tar.exe")) << static_cast<int>(digit);
      EXPECT_FALSE(IsPlainFileName(stem)) << static_cast<int>(digit);
    }
  }
  // Other superscripts and longer numbers are plain names.
  EXPECT_TRUE(IsPlainFileName(u"COM\u2074.exe"));
  EXPECT_TRUE(IsPlainFileName(u"LPT\u00B9\u00B9.exe"));
}

}  // namespace
