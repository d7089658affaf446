// Which product names make a plain file name in the executable's folder.
#include <gtest/gtest.h>

#include "app/installer_path.h"

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

}  // namespace
