// `preview`: the pictures of the shipped skin are the face pictures the painting tests make, pixel
// for pixel; the PNG files decode to what was painted; the contact sheet holds every state.
#include <gtest/gtest.h>

#include <sstream>

#include "app/button_styling.h"
#include "kit/png_writer.h"
#include "kit/preview_command.h"
#include "platform/image.h"
#include "tests/kit/vendor_folder_fixture.h"
#include "tests/ui/face_fixture.h"

namespace kit {
namespace {

// The same state drawn the way the painting tests draw the window.
ui::Bitmap FacePicture(const PreviewState& state, ui::DisplayScale scale) {
  ui::test::Face face(scale);
  const ui::Bitmap back = ui::PaintStaticFace(face.State(u""));
  ui::test::FakeButtonHost cancelHost(&back, face.cancelAt), linkHost(&back, face.linkAt);
  ui::CTorvinButton cancel, link;
  cancel.SetHost(&cancelHost);
  link.SetHost(&linkHost);
  ui::test::SetUpCancel(cancel, face);
  ui::test::SetUpLink(link, face);
  if (state.cancel == PreviewState::Cancel::Confirmed) ui::test::ShowCancelConfirmed(cancel, face);
  const auto look = state.cancel == PreviewState::Cancel::Hot ? ui::test::Look::Hot : ui::test::Look::Normal;
  const ui::Bitmap c = ui::test::DrawButton(cancel, look, u"Cancel");
  ui::Bitmap l = ui::test::DrawButton(link, state.linkFocused ? ui::test::Look::Focused : ui::test::Look::Normal,
                                      u"Problems downloading?");
  if (state.linkFocused) DecorateDialogButton(l, {}, scale, false, true);
  int32_t phase = 0;
  return ui::test::ComposeWindow(face, face.State(state.status->defaultText, state.shown, state.total),
                                 state.progress, c, l, phase);
}

void ExpectSamePixels(const ui::Bitmap& a, const ui::Bitmap& b, const std::string& what) {
  ASSERT_EQ(a.Extent(), b.Extent()) << what;
  int64_t differing = 0;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x) differing += a.GetPixel(x, y) != b.GetPixel(x, y);
  EXPECT_EQ(differing, 0) << what;
}

TEST(Preview, OurSkinLooksAsInThePaintingTestsAtEveryScale) {
  const PreviewSource source(test::kSampleDir.u16string());
  for (double factor : {1.0, 1.5, 2.0}) {
    const ui::DisplayScale scale{factor};
    for (const PreviewState& state : kPreviewStates) {
      ExpectSamePixels(PaintPreview(source, state, scale), FacePicture(state, scale),
                       std::string(state.name) + " at " + std::to_string(factor));
    }
  }
}

TEST(Preview, StatesDifferWhereTheyShould) {
  const PreviewSource source(test::kSampleDir.u16string());
  const ui::Bitmap start = PaintPreview(source, kPreviewStates[0]);
  const ui::Bitmap downloading = PaintPreview(source, kPreviewStates[1]);
  const ui::Bitmap hot = PaintPreview(source, kPreviewStates[2]);
  const ui::Bitmap complete = PaintPreview(source, kPreviewStates[3]);
  const ui::Layout layout =
      ui::ComputeLayout(start.Extent(), source.frames[0], source.skin.images.statusBack);
  const ui::Point fill{layout.rcBar.left + 100, layout.rcBar.top + 5};  // inside 47 %
  EXPECT_EQ(start.GetPixel(fill.x, fill.y), ui::kTrackColor);
  EXPECT_NE(downloading.GetPixel(fill.x, fill.y), ui::kTrackColor);
  EXPECT_EQ(downloading.GetPixel(layout.rcBar.left + 300, fill.y), ui::kTrackColor);
  EXPECT_NE(complete.GetPixel(layout.rcBar.left + 300, fill.y), ui::kTrackColor);
  const ui::Point cancel{start.Width() - 110 - 20 + 3, start.Height() - 34 - 30 + 3};
  EXPECT_EQ(downloading.GetPixel(cancel.x, cancel.y), source.skin.images.cancelNormal.GetPixel(3, 3));
  EXPECT_EQ(hot.GetPixel(cancel.x, cancel.y), source.skin.images.cancelHot.GetPixel(3, 3));
}

TEST(Preview, TheFoldersTextsShow) {
  test::VendorFolder folder;
  folder.Replace("TorvinWebInstallerString.ini", "=Initializing...", "=Wird vorbereitet...");
  const PreviewSource source(folder.Path());
  const PreviewSource sample(test::kSampleDir.u16string());
  const ui::Bitmap translated = PaintPreview(source, kPreviewStates[0]);
  const ui::Bitmap english = PaintPreview(sample, kPreviewStates[0]);
  const ui::Layout layout =
      ui::ComputeLayout(english.Extent(), sample.frames[0], sample.skin.images.statusBack);
  EXPECT_FALSE(ui::test::Difference(translated, english, layout.rcStatus).IsEmpty());
}

TEST(Preview, PngFilesDecodeToThePaintedPixels) {
  // Wide enough that the image data takes several stored blocks.
  ui::Bitmap image(301, 97);
  for (int32_t y = 0; y < image.Height(); ++y)
    for (int32_t x = 0; x < image.Width(); ++x)
      image.SetPixel(
          x, y, ui::Rgb(static_cast<uint8_t>(x), static_cast<uint8_t>(y * 2), static_cast<uint8_t>(x ^ y)));
  TempFolder folder;
  const std::u16string path = (folder / "p.png").u16string();
  ASSERT_TRUE(WritePng(image, path));
  ExpectSamePixels(platform::LoadImageFile(path), image, "p.png");
}

TEST(Preview, WritesEveryStateAndTheContactSheet) {
  TempFolder out;
  Command command;
  command.kind = Command::Kind::Preview;
  command.input = test::kSampleDir.u16string();
  command.out = (out / "pictures").u16string();
  std::ostringstream text, errors;
  ASSERT_EQ(RunPreview(command, text, errors), 0) << errors.str();
  const PreviewSource source(command.input);
  for (const PreviewState& state : kPreviewStates) {
    const ui::Bitmap written =
        platform::LoadImageFile((out / "pictures" / (std::string(state.name) + ".png")).u16string());
    ExpectSamePixels(written, PaintPreview(source, state), state.name);
  }
  const ui::Bitmap sheet = platform::LoadImageFile((out / "pictures" / "preview.png").u16string());
  const ui::Bitmap first = PaintPreview(source, kPreviewStates[0]);
  ASSERT_GT(sheet.Width(), 2 * first.Width());
  ASSERT_GT(sheet.Height(), 3 * first.Height());
  // The last picture stands alone in the first column of the fourth row, under its label.
  ASSERT_EQ(kPreviewStates.size(), 7u);
  const ui::Bitmap last = PaintPreview(source, kPreviewStates.back());
  const ui::Point at{16 + 10, sheet.Height() - 16 - last.Height() + 10};
  EXPECT_EQ(sheet.GetPixel(at.x, at.y), last.GetPixel(10, 10));
}

// The focus state differs from the plain downloading state only on the link, by a ring that stands
// out on the skin's dark ground and on the link's light caption alike.
TEST(Preview, TheFocusStateRingsTheLink) {
  const PreviewSource source(test::kSampleDir.u16string());
  const PreviewState& focused = kPreviewStates.back();
  ASSERT_TRUE(focused.linkFocused);
  const ui::Bitmap ring = PaintPreview(source, focused);
  const ui::Bitmap plain = PaintPreview(source, kPreviewStates[1]);
  const ui::test::Face face;
  const ui::Rect link = ui::RectOf(face.linkAt, face.linkSize);
  EXPECT_EQ(ui::test::Difference(ring, plain, ring.Bounds()), ui::test::Difference(ring, plain, link));
  const ui::Point edge{link.left + 2, link.top + link.Height() / 2};
  EXPECT_EQ(ring.GetPixel(edge.x, edge.y), ui::kWhite);
  EXPECT_EQ(ring.GetPixel(edge.x + 1, edge.y), ui::kBlack);
}

// High contrast: the system's colours (here a dark theme's), no skin image, the bar filled in the
// highlight colour, a frame round the window; the layout stays.
TEST(Preview, HighContrastPaintsTheDarkThemesColours) {
  TempFolder out;
  Command command;
  command.kind = Command::Kind::Preview;
  command.input = test::kSampleDir.u16string();
  command.out = out.Path().u16string();
  command.highContrast = true;
  std::ostringstream text, errors;
  ASSERT_EQ(RunPreview(command, text, errors), 0) << errors.str();
  const ui::Bitmap picture = platform::LoadImageFile((out / "2-downloading.png").u16string());
  const ui::ContrastColors& c = ui::kDarkContrastColors;
  const ui::test::Face face;
  const ui::Layout& layout = face.layout;
  ASSERT_EQ(picture.Extent(), face.window);
  EXPECT_EQ(picture.GetPixel(0, 0), c.windowText);
  EXPECT_EQ(picture.GetPixel(picture.Width() - 1, picture.Height() - 1), c.windowText);
  EXPECT_EQ(picture.GetPixel(5, picture.Height() / 2), c.window);
  EXPECT_EQ(picture.GetPixel(layout.rcBar.left + 100, layout.rcBar.top + 5), c.highlight);
  EXPECT_EQ(picture.GetPixel(layout.rcBar.left + 300, layout.rcBar.top + 5), c.window);
  EXPECT_EQ(picture.GetPixel(face.cancelAt.x + 3, face.cancelAt.y + 3), c.buttonFace);
  bool statusText = false;
  for (int32_t y = layout.rcStatus.top; y < layout.rcStatus.bottom; ++y)
    for (int32_t x = layout.rcStatus.left; x < layout.rcStatus.right; ++x)
      statusText = statusText || picture.GetPixel(x, y) == c.windowText;
  EXPECT_TRUE(statusText);
}

TEST(Preview, TheScaleSizesThePictures) {
  TempFolder out;
  Command command;
  command.kind = Command::Kind::Preview;
  command.input = test::kSampleDir.u16string();
  command.out = out.Path().u16string();
  command.scale = 1.5;
  std::ostringstream text, errors;
  ASSERT_EQ(RunPreview(command, text, errors), 0) << errors.str();
  EXPECT_EQ(platform::LoadImageFile((out / "2-downloading.png").u16string()).Extent(), (ui::Size{900, 495}));
}

TEST(Preview, RefusesWhatItCannotPaint) {
  TempFolder out;
  std::ostringstream text, errors;
  Command command;
  command.kind = Command::Kind::Preview;
  command.out = (out / "pictures").u16string();
  command.input = (out / "empty").u16string();
  EXPECT_EQ(RunPreview(command, text, errors), 1);
  EXPECT_NE(errors.str().find("MainWndBkg.jpg is missing"), std::string::npos);
}

}  // namespace
}  // namespace kit
