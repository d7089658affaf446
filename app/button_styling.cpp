// Fonts, colours, images and places of the dialog's buttons.
#include "app/button_styling.h"

#include <memory>

#include "ui/canvas.h"
#include "ui/focus_cue.h"

namespace {

constexpr ui::Color kWhite = ui::Rgb(255, 255, 255);
constexpr ui::Color kLinkGrey = ui::Rgb(165, 165, 165);
constexpr ui::Color kCancelledCaption = ui::Rgb(133, 133, 133);

// The caption fonts in design pixels: height and width.
constexpr ui::Size kCancelFont{23, 11};
constexpr ui::Size kLinkFont{15, 8};

void SetCaptionColors(ui::CTorvinButton& button, ui::Color in, ui::Color out) {
  button.SetColor(ui::CTorvinButton::ColorForeIn, in);
  button.SetColor(ui::CTorvinButton::ColorForeOut, out);
  button.SetColor(ui::CTorvinButton::ColorForeFocus, out);
}

// An opaque button without images, filled with the palette's button face.
void StylePlainButton(ui::CTorvinButton& button, const ui::Palette& palette, ui::Color caption) {
  button.SetImages(ui::ImageRef(), ui::ImageRef());
  button.m_bTransparent = false;
  for (auto slot : {ui::CTorvinButton::ColorBackIn, ui::CTorvinButton::ColorBackOut, ui::CTorvinButton::ColorBackFocus})
    button.SetColor(slot, palette.buttonFace);
  SetCaptionColors(button, caption, caption);
}

void StyleCancel(ui::CTorvinButton& cancel, ui::SkinImages& skin, const ui::DisplayScale& scale,
                 bool cancelConfirmed, const ui::Palette& palette) {
  const ui::Size font = scale.Of(kCancelFont);
  cancel.SetAlignment(ui::CTorvinButton::AlignImageWhole);
  cancel.SetCaptionFont(u"Arial", font.cx, font.cy, false);
  cancel.SetDrawFrame(false);
  if (!palette.skinImages) {
    cancel.SetPressOffset(cancelConfirmed ? 0 : 1, cancelConfirmed ? 0 : 1);
    StylePlainButton(cancel, palette, cancelConfirmed ? palette.disabledText : palette.buttonText);
    return;
  }
  if (cancelConfirmed) {
    // It looks disabled but stays enabled.
    SetCaptionColors(cancel, kCancelledCaption, kCancelledCaption);
    cancel.SetPressOffset(0, 0);
    auto disabled = ui::ShareImage(std::move(skin.cancelDisabled));
    cancel.SetImages(disabled, disabled);
  } else {
    SetCaptionColors(cancel, kWhite, kWhite);
    cancel.SetPressOffset(1, 1);
    cancel.SetImages(ui::ShareImage(std::move(skin.cancelHot)),
                     ui::ShareImage(std::move(skin.cancelNormal)));
  }
  cancel.SetTransparent();
}

void StyleLink(ui::CTorvinButton& link, const ui::DisplayScale& scale, const ui::Palette& palette) {
  const ui::Size font = scale.Of(kLinkFont);
  link.SetCaptionFont(u"Arial", font.cx, font.cy, true);
  link.SetDrawFrame(false);
  if (!palette.skinImages) {
    StylePlainButton(link, palette, palette.buttonText);
    return;
  }
  SetCaptionColors(link, kWhite, kLinkGrey);
  link.SetTransparent();
}

}  // namespace

void StyleDialogButtons(ui::CTorvinButton& cancel, ui::CTorvinButton& link, ui::SkinImages& skin,
                        const ui::DisplayScale& scale, bool cancelConfirmed, bool rightToLeft,
                        const ui::Palette& palette) {
  StyleCancel(cancel, skin, scale, cancelConfirmed, palette);
  StyleLink(link, scale, palette);
  cancel.SetRightToLeftReading(rightToLeft);
  link.SetRightToLeftReading(rightToLeft);
}

void DecorateDialogButton(ui::Bitmap& surface, const ui::Palette& palette, const ui::DisplayScale& scale,
                          bool isCancel, bool focusCue) {
  if (isCancel && !palette.skinImages)
    ui::Canvas(surface).Draw3dRect(surface.Bounds(), palette.buttonText, palette.buttonText);
  if (!focusCue) return;
  ui::Rect area = surface.Bounds();
  area.Deflate(scale.Px(2));
  ui::DrawFocusCue(surface, area, palette, scale);
}

DialogButtonPlaces PlaceDialogButtons(ui::Size window, ui::Size cancelSize, ui::Size linkSize,
                                      const ui::DisplayScale& scale, bool rightToLeft) {
  const int32_t cancelLeft = window.cx - cancelSize.cx - scale.Px(20);
  const int32_t cancelTop = window.cy - cancelSize.cy - scale.Px(30);
  const int32_t linkLeft = window.cx - linkSize.cx - cancelSize.cx - scale.Px(38);
  const int32_t linkTop = window.cy - linkSize.cy - scale.Px(24);
  DialogButtonPlaces places{{cancelLeft, cancelTop, cancelLeft + cancelSize.cx, cancelTop + cancelSize.cy},
                            {linkLeft, linkTop, linkLeft + linkSize.cx, linkTop + linkSize.cy}};
  if (rightToLeft) {
    places.cancel = ui::MirroredRect(places.cancel, window.cx);
    places.link = ui::MirroredRect(places.link, window.cx);
  }
  return places;
}
