// The input-file seam: reading a whole file by a UTF-16 path, and the system's error texts.
#include "platform/input_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace {

TEST(InputFile, ReadsByUnicodePathWithSeeks) {
  TempFolder folder;
  const auto path = folder.Write("\xC3\xA9t\xC3\xA9.txt", "0123456789");
  platform::InputFile file;
  ASSERT_TRUE(file.Open(path.u16string()));
  EXPECT_EQ(file.Size(), 10);
  char bytes[4] = {};
  ASSERT_TRUE(file.Read(bytes, 3));
  EXPECT_EQ(std::string(bytes, 3), "012");
  ASSERT_TRUE(file.Seek(8));
  EXPECT_FALSE(file.Read(bytes, 3));  // only two bytes are left
  EXPECT_NE(platform::LastSystemError().number, 0);
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(file.Close());
}

TEST(InputFile, MissingFilesAndFoldersAreRefusedWithTheSystemsText) {
  TempFolder folder;
  platform::InputFile file;
  ASSERT_FALSE(file.Open((folder / "missing.txt").u16string()));
  const platform::SystemError missing = platform::LastSystemError();
  EXPECT_EQ(missing.number, 2);  // ENOENT and ERROR_FILE_NOT_FOUND alike
  EXPECT_FALSE(missing.message.empty());
  EXPECT_FALSE(file.Open(folder.Path().u16string()));
  EXPECT_NE(platform::FileTooLargeError().number, 0);
}

}  // namespace
