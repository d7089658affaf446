// The look and the places of the dialog's two buttons, the same wherever the window is painted:
// the installer's dialog and the vendor kit's preview.
#pragma once

#include "ui/display_scale.h"
#include "ui/face_palette.h"
#include "ui/skin.h"
#include "ui/torvin_button.h"

// Styles Cancel and the problem link for `scale`: caption fonts and colours, no frame, transparent
// over the window's face. Cancel takes its images out of `skin`; once a cancel is confirmed it shows
// the disabled image and a grey caption that no longer moves when pressed. The captions read right
// to left for such a language. A palette without skin images makes both plain buttons in its button
// colours (the confirmed Cancel's caption in its disabled colour) and leaves `skin` as it is.
void StyleDialogButtons(ui::CTorvinButton& cancel, ui::CTorvinButton& link, ui::SkinImages& skin,
                        const ui::DisplayScale& scale, bool cancelConfirmed, bool rightToLeft,
                        const ui::Palette& palette);

// What the face adds to a drawn button: Cancel's outline where it has no image, and the focus cue.
void DecorateDialogButton(ui::Bitmap& surface, const ui::Palette& palette, const ui::DisplayScale& scale,
                          bool isCancel, bool focusCue);

struct DialogButtonPlaces {
  ui::Rect cancel;
  ui::Rect link;
};

// Cancel at `cancelSize` near the bottom right of a window of `window`; the link at `linkSize`,
// left of Cancel. The gaps are at the display scale. A mirrored face has both in their mirror
// places: Cancel near the bottom left, the link right of it.
DialogButtonPlaces PlaceDialogButtons(ui::Size window, ui::Size cancelSize, ui::Size linkSize,
                                      const ui::DisplayScale& scale, bool rightToLeft);
