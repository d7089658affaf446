// Writes pictures of the window face and of each button state into the build folder (pictures/),
// for a person to look at; the checks here only make sure each picture shows what it is named after.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/image.h"
#include "tests/ui/face_fixture.h"

#ifndef _WIN32
#include <png.h>
#endif

namespace ui {
namespace {

using test::Face;
using test::Look;

// Saves `b` as a PNG under the build folder; the Windows test program only draws.
void Save(const Bitmap& b, const std::string& name) {
#ifndef _WIN32
  const std::filesystem::path folder = std::filesystem::path(TORVIN_BINARY_DIR) / "pictures";
  std::filesystem::create_directories(folder);
  std::vector<uint32_t> pixels(b.Data(), b.Data() + static_cast<size_t>(b.Width()) * b.Height());
  for (uint32_t& p : pixels) p |= 0xFF000000u;  // opaque
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(b.Width());
  image.height = static_cast<png_uint_32>(b.Height());
  image.format = PNG_FORMAT_BGRA;
  ASSERT_TRUE(
      png_image_write_to_file(&image, (folder / (name + ".png")).c_str(), 0, pixels.data(), 0, nullptr))
      << image.message;
#else
  (void)b;
  (void)name;
#endif
}

// The window at a display scale, with the buttons set up as the dialog sets them up.
std::u16string Utf16(const char* ascii) {
  return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii));
}

class WindowAtScale {
 protected:
  explicit WindowAtScale(double scale) : face(DisplayScale{scale}) {}

  void SetUpButtons() {
    ASSERT_FALSE(face.skin.background.Empty()) << "the shipped skin did not load";
    back = PaintStaticFace(face.State(u""));
    cancelHost = std::make_unique<test::FakeButtonHost>(&back, face.cancelAt);
    linkHost = std::make_unique<test::FakeButtonHost>(&back, face.linkAt);
    cancel.SetHost(cancelHost.get());
    link.SetHost(linkHost.get());
    test::SetUpCancel(cancel, face);
    test::SetUpLink(link, face);
  }

  Bitmap Window(std::u16string_view status, bool progress, uint64_t shown, uint64_t total,
                Look cancelLook = Look::Normal) {
    const Bitmap c = test::DrawButton(cancel, cancelLook, u"Cancel");
    const Bitmap l = test::DrawButton(link, Look::Normal, u"Problems downloading?");
    return test::ComposeWindow(face, face.State(status, shown, total), progress, c, l, phase);
  }

  // "_100", "_150", "_200": the scale in percent, in every picture's name.
  std::string Suffix() const { return "_" + std::to_string(face.scale.Px(100)); }

  Face face;
  Bitmap back;
  std::unique_ptr<test::FakeButtonHost> cancelHost, linkHost;
  CTorvinButton cancel, link;
  int32_t phase = 0;
};

class Pictures : public WindowAtScale, public testing::TestWithParam<double> {
 protected:
  Pictures() : WindowAtScale(GetParam()) {}
  void SetUp() override { SetUpButtons(); }
};

INSTANTIATE_TEST_SUITE_P(Scales, Pictures, testing::Values(1.0, 1.5, 2.0),
                         [](const testing::TestParamInfo<double>& info) {
                           return "at" + std::to_string(static_cast<int>(info.param * 100));
                         });

TEST_P(Pictures, WindowFaceThroughTheDownload) {
  const Bitmap start = Window(u"Initializing...", false, 0, 0);
  Save(start, "face_start" + Suffix());
  const Bitmap third = Window(u"Downloading...", true, 1, 3);
  Save(third, "face_33" + Suffix());
  const Bitmap nearly = Window(u"Downloading...", true, 999, 1000, Look::Hot);
  Save(nearly, "face_99" + Suffix());
  const Bitmap complete = Window(u"Download completed.", true, 1000, 1000);
  Save(complete, "face_complete" + Suffix());
  test::ShowCancelConfirmed(cancel, face);
  const Bitmap cancelling = Window(u"Cancelling...", true, 47, 100);
  Save(cancelling, "face_cancelling" + Suffix());

  const Layout& l = face.layout;
  const DisplayScale& s = face.scale;
  ASSERT_EQ(start.Extent(), s.Of(face.source.images.background.Extent()));
  const Point fillAt{l.rcBar.left + s.Px(60), l.rcBar.top + s.Px(5)};
  EXPECT_EQ(start.GetPixel(fillAt.x, fillAt.y), kTrackColor);
  EXPECT_NE(third.GetPixel(fillAt.x, fillAt.y), kTrackColor);
  EXPECT_EQ(third.GetPixel(l.rcBar.left + s.Px(200), fillAt.y), kTrackColor);
  EXPECT_NE(nearly.GetPixel(l.rcBar.left + s.Px(400), fillAt.y), kTrackColor);
  const Point checkAt{l.rcBar.left - s.Px(1) + s.Px(451) + s.Px(19), l.rcBar.top + s.Px(1)};
  EXPECT_EQ(complete.GetPixel(checkAt.x, checkAt.y), face.skin.check.GetPixel(s.Px(19), s.Px(1)));
  const Point cancelCorner{face.cancelAt.x + s.Px(3), face.cancelAt.y + s.Px(3)};
  EXPECT_EQ(start.GetPixel(cancelCorner.x, cancelCorner.y),
            face.skin.cancelNormal.GetPixel(s.Px(3), s.Px(3)));
  EXPECT_EQ(cancelling.GetPixel(cancelCorner.x, cancelCorner.y),
            face.skin.cancelDisabled.GetPixel(s.Px(3), s.Px(3)));
}

TEST_P(Pictures, EveryButtonState) {
  const std::pair<Look, const char*> looks[] = {
      {Look::Normal, "normal"}, {Look::Hot, "hot"}, {Look::Pressed, "pressed"}, {Look::Focused, "focused"}};
  for (const auto& [look, name] : looks) {
    Save(test::DrawButton(cancel, look, u"Cancel"), std::string("cancel_") + name + Suffix());
    Save(test::DrawButton(link, look, u"Problems downloading?"), std::string("link_") + name + Suffix());
  }
  test::ShowCancelConfirmed(cancel, face);
  for (const auto& [look, name] : looks) {
    Save(test::DrawButton(cancel, look, u"Cancel"), std::string("cancel_confirmed_") + name + Suffix());
  }
  Save(DrawSkinImage(face.layout.rcClose, face.skin.closeHot, back), "close_hot" + Suffix());
  Save(DrawSkinImage(face.layout.rcMinimize, face.skin.minimizeHot, back), "minimize_hot" + Suffix());
}

// At 96 DPI the face is the one the installer drew before it could scale, pixel for pixel, except
// the heading, which now shows its descenders. The kept pictures were drawn by this build's text
// layer on Linux; the Windows text layer draws its own glyphs.
class DesignScaleFace : public WindowAtScale, public testing::Test {
 protected:
  DesignScaleFace() : WindowAtScale(1.0) {}
  void SetUp() override { SetUpButtons(); }
};

TEST_F(DesignScaleFace, IsUnchangedApartFromTheWholeHeading) {
#ifdef _WIN32
  GTEST_SKIP() << "the kept pictures hold the Linux text layer's glyphs";
#endif
  std::vector<std::pair<const char*, Bitmap>> pictures;
  pictures.emplace_back("face_start", Window(u"Initializing...", false, 0, 0));
  pictures.emplace_back("face_33", Window(u"Downloading...", true, 1, 3));
  pictures.emplace_back("face_99", Window(u"Downloading...", true, 999, 1000, Look::Hot));
  pictures.emplace_back("face_complete", Window(u"Download completed.", true, 1000, 1000));
  test::ShowCancelConfirmed(cancel, face);
  pictures.emplace_back("face_cancelling", Window(u"Cancelling...", true, 47, 100));
  const Rect heading = face.layout.rcHeading;
  const int32_t formerBottom = heading.top + face.layout.rcBar.Height();  // cut to the bar's height
  for (const auto& [name, now] : pictures) {
    const Bitmap before =
        platform::LoadImageFile(u"" TORVIN_SOURCE_DIR "/tests/ui/data/face-96dpi/" + Utf16(name) + u".png");
    ASSERT_EQ(before.Extent(), now.Extent()) << name;
    int32_t changedBelowFormerBottom = 0;
    for (int32_t y = 0; y < now.Height(); ++y) {
      for (int32_t x = 0; x < now.Width(); ++x) {
        if (now.GetPixel(x, y) == before.GetPixel(x, y)) continue;
        ASSERT_TRUE(heading.Contains(Point{x, y})) << name << " changed at " << x << "," << y;
        ASSERT_GE(y, formerBottom) << name << ": the heading's visible rows changed at " << x << "," << y;
        ++changedBelowFormerBottom;
      }
    }
    EXPECT_GT(changedBelowFormerBottom, 0) << name << ": no descenders below the former cut";
  }
}

}  // namespace
}  // namespace ui
