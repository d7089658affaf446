// Every script through the text seam: real glyphs from the machine's fonts where the face has none
// (never the missing-glyph shape), joined Arabic letters, and right-to-left reading order.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "platform/utf.h"
#include "tests/ui/face_fixture.h"
#include "ui/canvas.h"

namespace platform {
namespace {

using ui::Bitmap;
using ui::Rect;

const ui::Color kGround = ui::Rgb(40, 40, 40);
const ui::Color kInk = ui::Rgb(255, 255, 255);

// The fonts the face paints its texts with: the status line's, and Cancel's caption.
Font StatusFont() { return Font({u"Arial", 16, 6, 10, false}); }
Font CaptionFont() { return Font({u"Arial", 23, 11, 700, false}); }

Bitmap Draw(const Font& font, std::u16string_view text, uint32_t format = kTextSingleLine, int32_t left = 0) {
  Bitmap b(600, 40);
  ui::Canvas(b).FillSolidRect(b.Bounds(), kGround);
  RenderText(b, font, text, Rect{left, 4, 600, 40}, format, kInk);
  return b;
}

// The ink of `b` inside its bounding box: the font's shape for a character no face has.
Bitmap Cropped(const Bitmap& b) {
  Bitmap ground(b.Width(), b.Height());
  ui::Canvas(ground).FillSolidRect(ground.Bounds(), kGround);
  return ui::test::Cut(b, ui::test::Difference(b, ground, b.Bounds()));
}

using ui::test::Contains;

// U+FFFF is no character: every face draws its missing-glyph shape for it.
constexpr char16_t kNoCharacter[] = u"\uFFFF";

TEST(Scripts, EveryScriptIsDrawnWithRealGlyphs) {
#ifdef _WIN32
  GTEST_SKIP() << "on Windows the system's font fallback draws them (under Wine, the prefix's font links)";
#endif
  const char16_t* const texts[] = {u"ダウンロードしています...",
                                   u"正在下载...",
                                   u"다운로드 중...",
                                   u"جارٍ التنزيل...",
                                   u"מוריד...",
                                   u"Загрузка...",
                                   u"Λήψη...",
                                   u"กำลังดาวน์โหลด...",
                                   u"डाउनलोड हो रहा है...",
                                   u"Téléchargement en cours..."};
  for (const Font& font : {StatusFont(), CaptionFont()}) {
    const Bitmap missing = Cropped(Draw(font, kNoCharacter));
    ASSERT_GT(missing.Width(), 1) << "the missing-glyph shape has ink";
    ASSERT_TRUE(Contains(Draw(font, std::u16string(u"Λήψη") + kNoCharacter), missing))
        << "the search finds it";
    for (const char16_t* text : texts) {
      const Bitmap drawn = Draw(font, text, kTextSingleLine | kTextRtlReading);
      EXPECT_FALSE(Cropped(drawn).Width() < 10) << ToUtf8(text) << ": no ink";
      EXPECT_FALSE(Contains(drawn, missing)) << ToUtf8(text) << ": a missing-glyph box";
    }
  }
}

TEST(Scripts, ArabicLettersJoin) {
  const std::u16string joined = u"\u0628\u064A\u062A";             // one word
  const std::u16string apart = u"\u0628\u200C\u064A\u200C\u062A";  // the same letters kept apart
  EXPECT_FALSE(Contains(Draw(StatusFont(), joined), Cropped(Draw(StatusFont(), apart))));
}

// In a right-to-left paragraph a Latin word written first stands at the right, after the Hebrew.
TEST(Scripts, RightToLeftReadingPutsTheFirstRunAtTheRight) {
  const Font font = StatusFont();
  const std::u16string hebrew = u"\u05D0\u05D1\u05D2", latin = u"abc";
  const int32_t hebrewWidth = MeasureText(font, hebrew, Rect{}, kTextSingleLine).Width();
  const Bitmap rtl = Draw(font, latin + u" " + hebrew, kTextSingleLine | kTextRtlReading);
  const Bitmap ltr = Draw(font, latin + u" " + hebrew, kTextSingleLine);
  const int32_t spaceWidth = MeasureText(font, u" ", Rect{}, kTextSingleLine).Width();
  const Bitmap latinAfter = Draw(font, latin, kTextSingleLine, hebrewWidth + spaceWidth);
  const Bitmap latinFirst = Draw(font, latin, kTextSingleLine);
  auto sameColumns = [](const Bitmap& a, const Bitmap& b, int32_t from, int32_t to) {
    for (int32_t y = 0; y < a.Height(); ++y)
      for (int32_t x = from; x < to; ++x)
        if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    return true;
  };
  const int32_t latinWidth = MeasureText(font, latin, Rect{}, kTextSingleLine).Width();
  EXPECT_TRUE(sameColumns(ltr, latinFirst, 0, latinWidth - 1));
  const int32_t at = hebrewWidth + spaceWidth;
  EXPECT_TRUE(sameColumns(rtl, latinAfter, at + 1, at + latinWidth - 1));
}

}  // namespace
}  // namespace platform
