// The shipped skin and the installer window's buttons set up as the installer sets them up, for
// the painting and button tests and the pictures they write.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ui/skin.h"
#include "ui/torvin_button.h"
#include "ui/window_painting.h"

namespace ui::test {

inline const char16_t* kSkinDir = u"" TORVIN_SOURCE_DIR "/skin";
inline constexpr char16_t kProduct[] = u"Plantyx Studio 2026";

// A window for a button: counts repaints and captures its background from a face bitmap.
class FakeButtonHost : public IButtonHost {
 public:
  FakeButtonHost(const Bitmap* face, Point at) : m_face(face), m_at(at) {}
  void Repaint() override { ++repaints; }
  Bitmap CaptureParentBackground(Size size) override {
    ++captures;
    Bitmap back(size.cx, size.cy);
    if (m_face) Canvas(back).BitBlt(Point{}, size, *m_face, m_at);
    return back;
  }
  void PlayButtonSound(const SoundSlot& sound) override { sounds.push_back(sound.name); }
  void TrackMouseLeave() override { ++leaveRequests; }

  int repaints = 0;
  int captures = 0;
  int leaveRequests = 0;
  std::vector<std::u16string> sounds;

 private:
  const Bitmap* m_face;
  Point m_at;
};

// The dialog-template size of the link button as the dialog font maps it at 96 DPI (147 x 17 units).
inline constexpr Size kLinkSize{221, 28};

// The shipped skin at a display scale, in device pixels, with the buttons where the dialog puts them.
struct Face {
  explicit Face(DisplayScale s = {}) : scale(s) {}

  DisplayScale scale;
  SkinSource source = LoadSkinSource(kSkinDir);
  SkinImages skin = SkinAtScale(source, scale);
  BarFrames designFrames = LoadBarFrames();
  BarFrames frames = BarFramesAtScale(designFrames, scale);
  Size window = scale.Of(source.images.background.Extent());
  Layout layout =
      ComputeLayout(source.images.background.Extent(), designFrames[0], source.images.statusBack, scale);
  Size cancelSize = skin.cancelNormal.Extent();
  Size linkSize = scale.Of(kLinkSize);
  Point cancelAt{window.cx - cancelSize.cx - scale.Px(20), window.cy - cancelSize.cy - scale.Px(30)};
  Point linkAt{window.cx - linkSize.cx - cancelSize.cx - scale.Px(38),
               window.cy - linkSize.cy - scale.Px(24)};

  FaceState State(std::u16string_view status, uint64_t shown = 0, uint64_t total = 0) const {
    FaceState state;
    state.skin = &skin;
    state.barFrames = &frames;
    state.layout = layout;
    state.window = window;
    state.scale = scale;
    state.productName = kProduct;
    state.statusText = status;
    state.shownBytes = shown;
    state.totalBytes = total;
    return state;
  }
};

inline void SetUpCancel(CTorvinButton& b, const Face& face) {
  b.SetClientSize(face.cancelSize);
  b.SetAlignment(CTorvinButton::AlignImageWhole);
  b.SetCaptionFont(u"Arial", face.scale.Px(23), face.scale.Px(11), false);
  for (auto slot : {CTorvinButton::ColorForeIn, CTorvinButton::ColorForeOut, CTorvinButton::ColorForeFocus})
    b.SetColor(slot, kWhite);
  b.SetPressOffset(1, 1);
  b.SetImages(std::make_shared<Bitmap>(face.skin.cancelHot),
              std::make_shared<Bitmap>(face.skin.cancelNormal));
  b.SetDrawFrame(false);
  b.SetTransparent();
}

// What the install flow does to the Cancel button once the user confirmed the cancellation.
inline void ShowCancelConfirmed(CTorvinButton& b, const Face& face) {
  for (auto slot : {CTorvinButton::ColorForeIn, CTorvinButton::ColorForeOut, CTorvinButton::ColorForeFocus})
    b.SetColor(slot, Rgb(133, 133, 133));
  b.SetPressOffset(0, 0);
  const ImageRef disabled = std::make_shared<Bitmap>(face.skin.cancelDisabled);
  b.SetImages(disabled, disabled);
}

inline void SetUpLink(CTorvinButton& b, const Face& face) {
  b.SetClientSize(face.linkSize);
  b.SetCaptionFont(u"Arial", face.scale.Px(15), face.scale.Px(8), true);
  b.SetColor(CTorvinButton::ColorForeIn, kWhite);
  b.SetColor(CTorvinButton::ColorForeOut, Rgb(165, 165, 165));
  b.SetColor(CTorvinButton::ColorForeFocus, Rgb(165, 165, 165));
  b.SetUrl(u"https://www.example.com/torvin/download-help");
  b.SetDrawFrame(false);
  b.SetTransparent();
}

enum class Look { Normal, Hot, Pressed, Focused };

// Draws `b` as it looks in `look`, into a bitmap of its client size.
inline Bitmap DrawButton(CTorvinButton& b, Look look, std::u16string_view caption) {
  if (look == Look::Hot || look == Look::Pressed)
    b.OnMouseMove(false, true, true);
  else
    b.OnMouseLeave();
  Bitmap surface(b.GetClientSize().cx, b.GetClientSize().cy);
  DrawItemInfo item;
  item.rcItem = surface.Bounds();
  item.selected = look == Look::Pressed;
  item.focus = look == Look::Focused || look == Look::Pressed;
  item.caption = caption;
  b.DrawItem(surface, item);
  return surface;
}

// The whole window as the user sees it: the static face, the progress strip once bytes have
// arrived, the status line and the two buttons.
inline Bitmap ComposeWindow(const Face& face, const FaceState& state, bool progress, const Bitmap& cancel,
                            const Bitmap& link, int32_t& phase) {
  Bitmap window = PaintStaticFace(state);
  Canvas canvas(window);
  if (progress) {
    const Bitmap strip = PaintProgressStrip(state, phase);
    const Rect at = ProgressStripRect(state.layout, state.scale);
    canvas.BitBlt(Point{at.left, at.top}, strip.Extent(), strip);
  }
  const Bitmap status = PaintStatusLine(state);
  canvas.BitBlt(Point{state.layout.rcStatus.left, state.layout.rcStatus.top}, status.Extent(), status);
  canvas.BitBlt(face.cancelAt, cancel.Extent(), cancel);
  canvas.BitBlt(face.linkAt, link.Extent(), link);
  return window;
}

// The smallest rectangle of `area` holding pixels that differ from `ground` there.
inline Rect Difference(const Bitmap& a, const Bitmap& ground, Rect area) {
  Rect d{area.right, area.bottom, area.left, area.top};
  for (int32_t y = area.top; y < area.bottom; ++y)
    for (int32_t x = area.left; x < area.right; ++x)
      if (a.GetPixel(x, y) != ground.GetPixel(x, y))
        d = Rect{std::min(d.left, x), std::min(d.top, y), std::max(d.right, x + 1),
                 std::max(d.bottom, y + 1)};
  return d;
}

// The pixels of `b` inside `area`.
inline Bitmap Cut(const Bitmap& b, Rect area) {
  Bitmap part(area.Width(), area.Height());
  Canvas(part).BitBlt(Point{}, part.Extent(), b, Point{area.left, area.top});
  return part;
}

// Whether `shape` stands somewhere in `b`, pixel for pixel.
inline bool Contains(const Bitmap& b, const Bitmap& shape) {
  for (int32_t top = 0; top + shape.Height() <= b.Height(); ++top) {
    for (int32_t left = 0; left + shape.Width() <= b.Width(); ++left) {
      bool same = true;
      for (int32_t y = 0; same && y < shape.Height(); ++y)
        for (int32_t x = 0; same && x < shape.Width(); ++x)
          same = b.GetPixel(left + x, top + y) == shape.GetPixel(x, y);
      if (same) return true;
    }
  }
  return false;
}

}  // namespace ui::test
