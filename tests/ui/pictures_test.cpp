// Writes pictures of the window face and of each button state into the build folder (pictures/),
// for a person to look at; the checks here only make sure each picture shows what it is named after.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

class Pictures : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(face.skin.background.Empty()) << "the shipped skin did not load";
    back = PaintStaticFace(face.State(u""));
    cancelHost = std::make_unique<test::FakeButtonHost>(&back, face.cancelAt);
    linkHost = std::make_unique<test::FakeButtonHost>(&back, face.linkAt);
    cancel.SetHost(cancelHost.get());
    link.SetHost(linkHost.get());
    test::SetUpCancel(cancel, face);
    test::SetUpLink(link);
  }

  Bitmap Window(std::u16string_view status, bool progress, uint64_t shown, uint64_t total,
                Look cancelLook = Look::Normal) {
    const Bitmap c = test::DrawButton(cancel, cancelLook, u"Cancel");
    const Bitmap l = test::DrawButton(link, Look::Normal, u"Problems downloading?");
    return test::ComposeWindow(face, face.State(status, shown, total), progress, c, l, phase);
  }

  Face face;
  Bitmap back;
  std::unique_ptr<test::FakeButtonHost> cancelHost, linkHost;
  CTorvinButton cancel, link;
  int32_t phase = 0;
};

TEST_F(Pictures, WindowFaceThroughTheDownload) {
  const Bitmap start = Window(u"Initializing...", false, 0, 0);
  Save(start, "face_start");
  const Bitmap third = Window(u"Downloading...", true, 1, 3);
  Save(third, "face_33");
  const Bitmap nearly = Window(u"Downloading...", true, 999, 1000, Look::Hot);
  Save(nearly, "face_99");
  const Bitmap complete = Window(u"Download completed.", true, 1000, 1000);
  Save(complete, "face_complete");
  test::ShowCancelConfirmed(cancel, face);
  const Bitmap cancelling = Window(u"Cancelling...", true, 47, 100);
  Save(cancelling, "face_cancelling");

  const Layout& l = face.layout;
  const Point fillAt{l.rcBar.left + 60, l.rcBar.top + 5};
  EXPECT_EQ(start.GetPixel(fillAt.x, fillAt.y), kTrackColor);
  EXPECT_NE(third.GetPixel(fillAt.x, fillAt.y), kTrackColor);
  EXPECT_EQ(third.GetPixel(l.rcBar.left + 200, fillAt.y), kTrackColor);
  EXPECT_NE(nearly.GetPixel(l.rcBar.left + 400, fillAt.y), kTrackColor);
  EXPECT_EQ(complete.GetPixel(l.rcBar.left - 1 + 451 + 19, l.rcBar.top + 1), face.skin.check.GetPixel(19, 1));
  const Point cancelCorner{face.cancelAt.x + 3, face.cancelAt.y + 3};
  EXPECT_EQ(start.GetPixel(cancelCorner.x, cancelCorner.y), face.skin.cancelNormal.GetPixel(3, 3));
  EXPECT_EQ(cancelling.GetPixel(cancelCorner.x, cancelCorner.y), face.skin.cancelDisabled.GetPixel(3, 3));
}

TEST_F(Pictures, EveryButtonState) {
  const std::pair<Look, const char*> looks[] = {
      {Look::Normal, "normal"}, {Look::Hot, "hot"}, {Look::Pressed, "pressed"}, {Look::Focused, "focused"}};
  for (const auto& [look, name] : looks) {
    Save(test::DrawButton(cancel, look, u"Cancel"), std::string("cancel_") + name);
    Save(test::DrawButton(link, look, u"Problems downloading?"), std::string("link_") + name);
  }
  test::ShowCancelConfirmed(cancel, face);
  for (const auto& [look, name] : looks) {
    Save(test::DrawButton(cancel, look, u"Cancel"), std::string("cancel_confirmed_") + name);
  }
  Save(DrawSkinImage(face.layout.rcClose, face.skin.closeHot, back), "close_hot");
  Save(DrawSkinImage(face.layout.rcMinimize, face.skin.minimizeHot, back), "minimize_hot");
}

}  // namespace
}  // namespace ui
