// `preview` in each language of the sample texts file: the pictures kept beside this test, texts
// drawn with real glyphs, the mirrored face of Arabic, and `--lang`'s files.
#include <gtest/gtest.h>

#include <sstream>

#include "kit/language_sections.h"
#include "kit/preview_command.h"
#include "platform/image.h"
#include "platform/utf.h"
#include "tests/kit/vendor_folder_fixture.h"
#include "tests/ui/face_fixture.h"
#include "ui/window_painting.h"

namespace kit {
namespace {

const char16_t* const kSampleLanguages[] = {u"de", u"fr", u"ja", u"ar"};

const PreviewState& Downloading() { return kPreviewStates[1]; }

int64_t DifferingPixels(const ui::Bitmap& a, const ui::Bitmap& b) {
  int64_t differing = 0;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x) differing += a.GetPixel(x, y) != b.GetPixel(x, y);
  return differing;
}

// The kept pictures were painted by this build's text layer on Linux with the fonts of
// scripts/packages.d, and looked at.
TEST(LanguagePreview, EachSampleLanguageLooksAsKept) {
#ifdef _WIN32
  GTEST_SKIP() << "the kept pictures hold the Linux text layer's glyphs";
#endif
  const PreviewSource source(test::kSampleDir.u16string());
  for (const char16_t* tag : kSampleLanguages) {
    const LanguageChoice language = LanguageForTag(tag, source.textsPath);
    ASSERT_EQ(language.tag, tag);
    const ui::Bitmap painted = PaintPreview(source, Downloading(), {}, language);
    const std::u16string kept =
        u"" TORVIN_SOURCE_DIR "/tests/kit/data/downloading-" + std::u16string(tag) + u".png";
    const ui::Bitmap stored = platform::LoadImageFile(kept);
    ASSERT_EQ(stored.Extent(), painted.Extent()) << platform::ToUtf8(kept);
    EXPECT_EQ(DifferingPixels(painted, stored), 0) << platform::ToUtf8(tag);
  }
}

// Each status text painted on a plain ground (no status image), where a missing glyph would show
// exactly the shape the face's font draws for a character no face has.
TEST(LanguagePreview, NoTextOfTheSampleShowsTheMissingGlyphShape) {
#ifdef _WIN32
  GTEST_SKIP() << "on Windows the system's font fallback draws them (under Wine, the prefix's font links)";
#endif
  const PreviewSource source(test::kSampleDir.u16string());
  ui::SkinImages plain;
  ui::FaceState face;
  face.skin = &plain;
  face.layout = ui::ComputeLayout(source.skin.images.background.Extent(), source.frames[0], plain.statusBack);
  auto line = [&](std::u16string_view text, bool rtl) {
    face.layout.rightToLeft = rtl;
    face.statusText = text;
    return ui::PaintStatusLine(face);
  };
  const ui::Bitmap blank = line(u"", false);
  const ui::Bitmap missingLine = line(u"\uFFFF", false);
  const ui::Bitmap missing =
      ui::test::Cut(missingLine, ui::test::Difference(missingLine, blank, blank.Bounds()));
  auto shows = [&](const ui::Bitmap& b) { return ui::test::Contains(b, missing); };
  ASSERT_TRUE(shows(line(u"ab\uFFFFcd", false))) << "the search finds the shape";
  for (const char16_t* tag : kSampleLanguages) {
    const bool rtl = IsRightToLeftLanguage(tag);
    for (int32_t state = 1; const UIString* status = StatusUIString(state); ++state) {
      const std::u16string text = GetUIString(*status, source.textsPath, tag);
      const ui::Bitmap drawn = line(text, rtl);
      EXPECT_FALSE(ui::test::Difference(drawn, blank, blank.Bounds()).IsEmpty()) << platform::ToUtf8(text);
      EXPECT_FALSE(shows(drawn)) << platform::ToUtf8(text) << ": a missing-glyph box";
    }
  }
}

TEST(LanguagePreview, ArabicIsTheMirroredFace) {
  const PreviewSource source(test::kSampleDir.u16string());
  const LanguageChoice arabic = LanguageForTag(u"ar-EG", source.textsPath);
  ASSERT_TRUE(arabic.rightToLeft);
  const ui::Bitmap picture = PaintPreview(source, Downloading(), {}, arabic);
  const ui::Layout layout =
      ui::ComputeLayout(picture.Extent(), source.frames[0], source.skin.images.statusBack);
  // Cancel in the bottom left corner, 20 px from the left edge, its image as it is.
  const ui::Point cancel{20 + 3, picture.Height() - 34 - 30 + 3};
  EXPECT_EQ(picture.GetPixel(cancel.x, cancel.y), source.skin.images.cancelNormal.GetPixel(3, 3));
  // The bar's 47 % from its right end: the bar stands 60 px from the left edge.
  const int32_t middle = layout.rcBar.top + 5, barRight = picture.Width() - layout.rcBar.left;
  EXPECT_NE(picture.GetPixel(barRight - 10, middle), ui::kTrackColor);
  EXPECT_EQ(picture.GetPixel(barRight - 300, middle), ui::kTrackColor);
  EXPECT_EQ(picture.GetPixel(picture.Width() - layout.rcBar.right + 10, middle), ui::kTrackColor);
}

// Mirrored in high contrast: the bar fills in the highlight colour from its right end, and the
// focus ring stands round the link in its mirrored place, right of Cancel.
TEST(LanguagePreview, TheMirroredFaceInHighContrastWithTheFocusOnTheLink) {
  const PreviewSource source(test::kSampleDir.u16string());
  const LanguageChoice arabic = LanguageForTag(u"ar", source.textsPath);
  const ui::Palette palette = ui::HighContrastPalette(ui::kDarkContrastColors);
  const ui::Bitmap picture = PaintPreview(source, kPreviewStates.back(), {}, arabic, palette);
  const ui::Layout layout =
      ui::ComputeLayout(picture.Extent(), source.frames[0], source.skin.images.statusBack);
  const ui::ContrastColors& c = ui::kDarkContrastColors;
  const int32_t middle = layout.rcBar.top + 5, barRight = picture.Width() - layout.rcBar.left;
  EXPECT_EQ(picture.GetPixel(barRight - 10, middle), c.highlight);
  EXPECT_EQ(picture.GetPixel(barRight - 300, middle), c.window);
  // The link's template size at 100 %, 18 px right of Cancel's 110 px from the left edge of 20.
  const ui::test::Face face;
  const ui::Point link{20 + 110 + 18, face.linkAt.y};
  const int32_t linkMiddle = link.y + face.linkSize.cy / 2;
  EXPECT_EQ(picture.GetPixel(link.x + 2, linkMiddle), palette.focusOuter);
  EXPECT_EQ(picture.GetPixel(link.x + 3, linkMiddle), palette.focusInner);
  EXPECT_EQ(picture.GetPixel(face.linkAt.x + 2, linkMiddle), c.window);  // nothing where it stands left to right
}

TEST(LanguagePreview, OneContactSheetPerLanguageAndATagFindsItsSection) {
  TempFolder out;
  Command command;
  command.kind = Command::Kind::Preview;
  command.input = test::kSampleDir.u16string();
  command.out = out.Path().u16string();
  command.language = u"all";
  std::ostringstream text, errors;
  ASSERT_EQ(RunPreview(command, text, errors), 0) << errors.str();
  const ui::Size sheet = platform::LoadImageFile((out / "preview.png").u16string()).Extent();
  EXPECT_GT(sheet.cx, 0);
  for (const char* name : {"preview-de.png", "preview-fr.png", "preview-ja.png", "preview-ar.png"})
    EXPECT_EQ(platform::LoadImageFile((out / name).u16string()).Extent(), sheet) << name;

  TempFolder swiss;
  command.out = swiss.Path().u16string();
  command.language = u"de-CH";
  ASSERT_EQ(RunPreview(command, text, errors), 0) << errors.str();
  EXPECT_NE(text.str().find("texts: [UISTRING.de] for de-CH, as requested"), std::string::npos) << text.str();
  const PreviewSource source(command.input);
  EXPECT_EQ(DifferingPixels(platform::LoadImageFile((swiss / "2-downloading.png").u16string()),
                            PaintPreview(source, Downloading(), {}, LanguageForTag(u"de", source.textsPath))),
            0);
}

}  // namespace
}  // namespace kit
