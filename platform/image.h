// The image seam: decode an image file into a ui::Bitmap, and load a bitmap built into the program.
#pragma once

#include <cstdint>
#include <string>

#include "ui/bitmap.h"

namespace platform {

// No skin image comes near this many pixels; a file that claims more (a damaged or hostile header)
// counts as unreadable rather than asking for gigabytes.
constexpr int64_t kMaxImagePixels = int64_t{1} << 25;

// Decodes the file at `path` (JPEG and PNG everywhere; on Windows whatever GDI+ reads). A file that
// is missing, unreadable, not recognised or larger than kMaxImagePixels gives an empty bitmap.
ui::Bitmap LoadImageFile(const std::u16string& path);

// A bitmap resource of the program by number (the progress tiles 130, 140 and 141); empty when the
// program has no such resource.
ui::Bitmap LoadBitmapResource(int32_t id);

}  // namespace platform
