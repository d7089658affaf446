// The sample texts file shipped with the skin lists every key with its English text.
#include <gtest/gtest.h>

#include "app/ui_strings.h"
#include "platform/profile.h"
#include "platform/utf.h"

namespace {

TEST(SampleTextsFile, ListsEveryKeyWithItsEnglishText) {
  const std::u16string path = u"" TORVIN_SOURCE_DIR "/skin/TorvinWebInstallerString.ini";
  for (const UIString& text : kUIStrings) {
    EXPECT_EQ(platform::ReadProfileString(u"UISTRING", text.key, u"<missing>", path, 260), text.defaultText)
        << platform::ToUtf8(text.key);
  }
}

}  // namespace
