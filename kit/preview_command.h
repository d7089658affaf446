// `torvin-kit preview`: one PNG per window state and a labelled contact sheet, preview.png.
#pragma once

#include <ostream>

#include "kit/command_line.h"
#include "kit/preview_window.h"

namespace kit {

// The pictures side by side, two to a row, each under its label.
ui::Bitmap ContactSheet(const std::array<ui::Bitmap, kPreviewStateCount>& pictures);

// Paints at the command's scale; 0 when every picture was written, 1 when the folder has no usable
// background or a file could not be written.
int RunPreview(const Command& command, std::ostream& out, std::ostream& err);

}  // namespace kit
