// The face as assistive technology gets it, computed from the same state the painting reads: the
// window, the progress bar with the percentage the face shows, the status line and the two buttons.
#pragma once

#include <string>
#include <string_view>

#include "platform/window.h"
#include "ui/window_painting.h"

namespace ui {

// A button as the face shows it: its caption, its place and its control.
struct FaceButton {
  std::u16string_view caption;
  Rect rect;
  int controlId = 0;
};

// `progressShown`: the progress strip has been painted (bytes have arrived); before that the bar is
// empty and has no value. `cancelConfirmed`: Cancel no longer does anything. `address`: what the
// link opens.
platform::AccessibleFace DescribeFace(const FaceState& state, bool progressShown, const FaceButton& cancel,
                                      bool cancelConfirmed, const FaceButton& link, std::u16string_view address);

// The bar's value: the percentage the face shows ("47%"), "100%" once complete, empty while it
// shows none.
std::u16string ProgressValue(const FaceState& state, bool progressShown);

}  // namespace ui
