// The image seam: decode an image file into a ui::Bitmap, and load a bitmap built into the program.
#pragma once

#include <cstdint>
#include <string>

#include "ui/bitmap.h"

namespace platform {

// Decodes the file at `path` (JPEG and PNG everywhere; on Windows whatever GDI+ reads). A file that
// is missing, unreadable or not recognised gives an empty bitmap.
ui::Bitmap LoadImageFile(const std::u16string& path);

// A bitmap resource of the program by number (the progress tiles 130, 140 and 141); empty when the
// program has no such resource.
ui::Bitmap LoadBitmapResource(int32_t id);

}  // namespace platform
