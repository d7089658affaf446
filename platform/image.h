// The image seam: decode an image (a file, or its bytes in memory) into a ui::Bitmap, and load a
// bitmap built into the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_source.h"
#include "ui/bitmap.h"

namespace platform {

// No skin image comes near this many pixels, or this many bytes; an image that claims more (a
// damaged or hostile header) counts as unreadable rather than asking for gigabytes.
constexpr int64_t kMaxImagePixels = int64_t{1} << 25;
constexpr int64_t kMaxImageFileSize = int64_t{1} << 26;

// Decodes an image held in memory (JPEG and PNG everywhere; on Windows whatever GDI+ reads). Bytes
// that are not recognised, cannot be decoded or describe more than kMaxImagePixels give an empty
// bitmap.
ui::Bitmap DecodeImage(std::string_view bytes);

// Decodes the file at `path` in the same way; a missing, unreadable or too large file gives an
// empty bitmap.
ui::Bitmap LoadImageFile(const std::u16string& path);

// Decodes the file from wherever it is; a missing file gives an empty bitmap.
ui::Bitmap LoadImage(const FileSource& file);

// A bitmap resource of the program by number (the progress tiles 130, 140 and 141); empty when the
// program has no such resource.
ui::Bitmap LoadBitmapResource(int32_t id);

}  // namespace platform
