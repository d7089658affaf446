// The window composed as the dialog composes it on screen: the static face, the progress strip
// once bytes have arrived, the status line, and the Cancel and link buttons drawn over it, each
// button styled as the dialog styles it.
#include "kit/preview_window.h"

#include "app/button_styling.h"
#include "app/installer_config.h"
#include "kit/vendor_folder.h"
#include "ui/canvas.h"
#include "ui/torvin_button.h"
#include "ui/window_painting.h"

namespace kit {

const std::array<PreviewState, kPreviewStateCount> kPreviewStates = {{
    {"1-initialising", "Initialising", &IDS_STATUS_INIT, false, 0, 0, PreviewState::Cancel::Normal, false},
    {"2-downloading", "Downloading, 47 %", &IDS_STATUS_DOWNLOADING, true, 47, 100,
     PreviewState::Cancel::Normal, false},
    {"3-cancel-hot", "Cancel under the pointer", &IDS_STATUS_DOWNLOADING, true, 47, 100,
     PreviewState::Cancel::Hot, false},
    {"4-completed", "Completed", &IDS_STATUS_DOWNLOADDONE, true, 100, 100, PreviewState::Cancel::Normal, false},
    {"5-cancelling", "Cancelling", &IDS_STATUS_DOWNLOAD_CANCELLING, true, 47, 100,
     PreviewState::Cancel::Confirmed, false},
    {"6-failed", "Failed", &IDS_STATUS_DOWNLOAD_FAILED, true, 47, 100, PreviewState::Cancel::Normal, false},
    {"7-link-focused", "Keyboard focus on the help link", &IDS_STATUS_DOWNLOADING, true, 47, 100,
     PreviewState::Cancel::Normal, true},
}};

namespace {

// The link button's size from the dialog template (147 x 17 dialog units), in design pixels.
constexpr ui::Size kLinkSize{221, 28};

// A button's window on the preview: its background is the window's face under it.
class FaceButtonHost final : public ui::IButtonHost {
 public:
  FaceButtonHost(const ui::Bitmap& face, ui::Point at) : m_face(face), m_at(at) {}
  void Repaint() override {}
  ui::Bitmap CaptureParentBackground(ui::Size size) override {
    ui::Bitmap back(size.cx, size.cy);
    ui::Canvas(back).BitBlt(ui::Point{}, size, m_face, m_at);
    return back;
  }
  void PlayButtonSound(const ui::SoundSlot&) override {}
  void TrackMouseLeave() override {}

 private:
  const ui::Bitmap& m_face;
  ui::Point m_at;
};

// How a button is drawn on the preview.
struct ButtonLook {
  bool hot = false;      // the pointer is over it
  bool focused = false;  // it has the keyboard focus, and the keyboard has been used
  bool isCancel = false;
};

// Draws `button` at `at` over `window`, with what the face adds to it.
void DrawButton(ui::CTorvinButton& button, const ui::Rect& at, ButtonLook look, std::u16string_view caption,
                const ui::Palette& palette, const ui::DisplayScale& scale, ui::Bitmap& window) {
  if (look.hot) button.OnMouseMove(false, true, true);
  ui::Bitmap surface(at.Width(), at.Height());
  ui::DrawItemInfo item;
  item.rcItem = surface.Bounds();
  item.focus = look.focused;
  item.caption = caption;
  button.DrawItem(surface, item);
  DecorateDialogButton(surface, palette, scale, look.isCancel, look.focused);
  ui::Canvas(window).BitBlt(ui::Point{at.left, at.top}, surface.Extent(), surface);
}

}  // namespace

// Cancel as large as its image, the link at its template size. The skin is at the window's scale,
// so its background has the window's size.
PreviewButtons::PreviewButtons(ui::SkinImages& skin, const ui::DisplayScale& scale, bool cancelConfirmed,
                               bool rightToLeft, const ui::Palette& palette) {
  const ui::Size cancelSize = skin.cancelNormal.Extent();
  const ui::Size linkSize = scale.Of(kLinkSize);
  places = PlaceDialogButtons(skin.background.Extent(), cancelSize, linkSize, scale, rightToLeft);
  cancel.SetClientSize(cancelSize);
  link.SetClientSize(linkSize);
  StyleDialogButtons(cancel, link, skin, scale, cancelConfirmed, rightToLeft, palette);
}

PreviewSource::PreviewSource(const std::u16string& folder)
    : skin(ui::LoadSkinSource(folder)),
      frames(ui::LoadBarFrames()),
      textsPath(InFolder(folder, kTextsFileName)) {
  // The name does not depend on the system; any will do for reading it.
  InstallerConfig config;
  LoadConfiguration(InFolder(folder, kConfigFileName), PlatformInfo{u"Windows 8", u"64"}, config);
  productName = config.strProductName;
}

ui::Bitmap PaintPreview(const PreviewSource& source, const PreviewState& state, const ui::DisplayScale& scale,
                        const LanguageChoice& language, const ui::Palette& palette) {
  const auto text = [&](const UIString& t) { return GetUIString(t, source.textsPath, language.tag); };
  ui::SkinImages skin = ui::SkinAtScale(source.skin, scale);
  const ui::BarFrames frames = ui::BarFramesAtScale(source.frames, scale);
  const ui::Size design = source.skin.images.background.Extent();
  const ui::Size window = scale.Of(design);
  const std::u16string status = text(*state.status);
  ui::FaceState face;
  face.skin = &skin;
  face.barFrames = &frames;
  face.layout =
      ui::ComputeLayout(design, source.frames[0], source.skin.images.statusBack, scale, language.rightToLeft);
  face.window = window;
  face.scale = scale;
  face.productName = source.productName;
  face.statusText = status;
  face.shownBytes = state.shown;
  face.totalBytes = state.total;
  face.palette = palette;

  const ui::Bitmap staticFace = ui::PaintStaticFace(face);
  ui::Bitmap picture = staticFace;
  ui::Canvas canvas(picture);
  if (state.progress) {
    int32_t phase = 0;
    const ui::Bitmap strip = ui::PaintProgressStrip(face, phase);
    const ui::Rect at = ui::ProgressStripRect(face.layout, scale);
    canvas.BitBlt(ui::Point{at.left, at.top}, strip.Extent(), strip);
  }
  const ui::Bitmap line = ui::PaintStatusLine(face);
  canvas.BitBlt(ui::Point{face.layout.rcStatus.left, face.layout.rcStatus.top}, line.Extent(), line);

  PreviewButtons buttons(skin, scale, state.cancel == PreviewState::Cancel::Confirmed, language.rightToLeft,
                         palette);
  const ui::Rect& cancelAt = buttons.places.cancel;
  const ui::Rect& linkAt = buttons.places.link;
  FaceButtonHost cancelHost(staticFace, {cancelAt.left, cancelAt.top}),
      linkHost(staticFace, {linkAt.left, linkAt.top});
  buttons.cancel.SetHost(&cancelHost);
  buttons.link.SetHost(&linkHost);
  DrawButton(buttons.cancel, cancelAt, {state.cancel == PreviewState::Cancel::Hot, false, true},
             text(IDS_TEXT_CANCEL), palette, scale, picture);
  DrawButton(buttons.link, linkAt, {false, state.linkFocused, false}, text(IDS_DOWNLOAD_PROBLEM), palette, scale,
             picture);
  return picture;
}

}  // namespace kit
