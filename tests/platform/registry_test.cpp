// The registry seam against the real registry of the Wine prefix, and against the store on Linux.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include "tests/support/test_registry_keys.h"

using platform::LocalMachineKeyExists;
using platform::RegistryView;

TEST(Registry, EmptyPathIsTheHiveItself) {
  for (RegistryView view : {RegistryView::Bits64, RegistryView::Bits32})
    EXPECT_TRUE(LocalMachineKeyExists(u"", view));
}

TEST(Registry, MissingKeyIsAbsentInEveryView) {
  TestRegistryKeys keys;
  for (RegistryView view : {RegistryView::Bits64, RegistryView::Bits32})
    EXPECT_FALSE(LocalMachineKeyExists(keys.PathOf(u"Nowhere"), view));
}

TEST(Registry, KeyOfThe64BitViewIsSeenOnlyThere) {
  TestRegistryKeys keys;
  ASSERT_TRUE(keys.Add(u"Product\\Sub", RegistryView::Bits64));
  EXPECT_TRUE(LocalMachineKeyExists(keys.PathOf(u"Product\\Sub"), RegistryView::Bits64));
  EXPECT_TRUE(LocalMachineKeyExists(keys.PathOf(u"Product"), RegistryView::Bits64));
  EXPECT_TRUE(LocalMachineKeyExists(keys.PathOf(u"PRODUCT\\sub"), RegistryView::Bits64));
  EXPECT_FALSE(LocalMachineKeyExists(keys.PathOf(u"Product\\Sub"), RegistryView::Bits32));
  EXPECT_FALSE(LocalMachineKeyExists(keys.PathOf(u"Product\\Su"), RegistryView::Bits64));
}

// The same in a 32-bit and a 64-bit process: each names its view.
TEST(Registry, KeyOfThe32BitViewIsSeenOnlyThere) {
  TestRegistryKeys keys;
  ASSERT_TRUE(keys.Add(u"Product", RegistryView::Bits32));
  EXPECT_TRUE(LocalMachineKeyExists(keys.PathOf(u"Product"), RegistryView::Bits32));
  EXPECT_FALSE(LocalMachineKeyExists(keys.PathOf(u"Product"), RegistryView::Bits64));
}

TEST(Registry, KeysGoWithTheirOwner) {
  std::u16string path;
  {
    TestRegistryKeys keys;
    ASSERT_TRUE(keys.Add(u"Product", RegistryView::Bits64));
    path = keys.PathOf(u"Product");
  }
  EXPECT_FALSE(LocalMachineKeyExists(path, RegistryView::Bits64));
}
