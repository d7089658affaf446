// The installer window as a customer sees it, painted from a vendor's folder through the
// installer's own painting and button code: one picture per state of the download.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/button_styling.h"
#include "app/language_choice.h"
#include "app/ui_strings.h"
#include "ui/bitmap.h"
#include "ui/display_scale.h"
#include "ui/face_palette.h"
#include "ui/skin.h"
#include "ui/torvin_button.h"

namespace kit {

struct PreviewState {
  const char* name;   // the picture's file name, without ".png"
  const char* label;  // its caption on the contact sheet
  const UIString* status;
  bool progress;  // bytes have arrived: the bar shows shown of total
  uint64_t shown;
  uint64_t total;
  enum class Cancel { Normal, Hot, Confirmed } cancel;
  bool linkFocused;  // the keyboard has moved the focus to the help link
};

inline constexpr size_t kPreviewStateCount = 7;
extern const std::array<PreviewState, kPreviewStateCount> kPreviewStates;

// What the window is painted from: the folder's skin (with its "@2x" copies), texts and product name.
struct PreviewSource {
  explicit PreviewSource(const std::u16string& folder);

  ui::SkinSource skin;
  ui::BarFrames frames;  // at the design scale
  std::u16string productName;
  std::u16string textsPath;
};

// The dialog's two buttons on a window of `skin` (at `scale`), placed and styled as the dialog
// places and styles them in `palette`; Cancel takes its images out of `skin`.
struct PreviewButtons {
  PreviewButtons(ui::SkinImages& skin, const ui::DisplayScale& scale, bool cancelConfirmed, bool rightToLeft,
                 const ui::Palette& palette = {});
  ui::CTorvinButton cancel;
  ui::CTorvinButton link;
  DialogButtonPlaces places;
};

// The whole window in `state` at the display `scale`, in device pixels, with the texts of
// `language` (mirrored for a right-to-left one) and in `palette`; the progress bar's tiling starts
// with the first tile.
ui::Bitmap PaintPreview(const PreviewSource& source, const PreviewState& state,
                        const ui::DisplayScale& scale = {}, const LanguageChoice& language = {},
                        const ui::Palette& palette = {});

}  // namespace kit
