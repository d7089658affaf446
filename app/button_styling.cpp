// Fonts, colours, images and places of the dialog's buttons.
#include "app/button_styling.h"

#include <memory>

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

void StyleCancel(ui::CTorvinButton& cancel, ui::SkinImages& skin, const ui::DisplayScale& scale,
                 bool cancelConfirmed) {
  const ui::Size font = scale.Of(kCancelFont);
  cancel.SetAlignment(ui::CTorvinButton::AlignImageWhole);
  cancel.SetCaptionFont(u"Arial", font.cx, font.cy, false);
  cancel.SetDrawFrame(false);
  if (cancelConfirmed) {
    // It looks disabled but stays enabled.
    SetCaptionColors(cancel, kCancelledCaption, kCancelledCaption);
    cancel.SetPressOffset(0, 0);
    auto disabled = std::make_shared<ui::Bitmap>(std::move(skin.cancelDisabled));
    cancel.SetImages(disabled, disabled);
  } else {
    SetCaptionColors(cancel, kWhite, kWhite);
    cancel.SetPressOffset(1, 1);
    cancel.SetImages(std::make_shared<ui::Bitmap>(std::move(skin.cancelHot)),
                     std::make_shared<ui::Bitmap>(std::move(skin.cancelNormal)));
  }
  cancel.SetTransparent();
}

void StyleLink(ui::CTorvinButton& link, const ui::DisplayScale& scale) {
  const ui::Size font = scale.Of(kLinkFont);
  link.SetCaptionFont(u"Arial", font.cx, font.cy, true);
  SetCaptionColors(link, kWhite, kLinkGrey);
  link.SetDrawFrame(false);
  link.SetTransparent();
}

}  // namespace

void StyleDialogButtons(ui::CTorvinButton& cancel, ui::CTorvinButton& link, ui::SkinImages& skin,
                        const ui::DisplayScale& scale, bool cancelConfirmed, bool rightToLeft) {
  StyleCancel(cancel, skin, scale, cancelConfirmed);
  StyleLink(link, scale);
  cancel.SetRightToLeftReading(rightToLeft);
  link.SetRightToLeftReading(rightToLeft);
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
