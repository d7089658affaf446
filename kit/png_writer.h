// Writes a bitmap as a PNG file: 8-bit RGB, the image data in stored (uncompressed) deflate blocks,
// so that one small writer serves every platform without a compression library.
#pragma once

#include <string>

#include "ui/bitmap.h"

namespace kit {

// Creates or replaces the file at `path`; false when it cannot be written.
bool WritePng(const ui::Bitmap& image, const std::u16string& path);

// The whole file's bytes, for writers and tests.
std::string EncodePng(const ui::Bitmap& image);

}  // namespace kit
