// The program's built-in bitmaps on Linux: the progress tiles, compiled in from the data that the
// Windows build takes as bitmap resources.
#include <cstdint>

#include "platform/image.h"

namespace platform {
namespace {
#include "res/tiles/progress_tiles.inc"

template <size_t H, size_t W>
ui::Bitmap FromRows(const uint32_t (&rows)[H][W]) {
  ui::Bitmap bitmap(static_cast<int32_t>(W), static_cast<int32_t>(H));
  for (size_t y = 0; y < H; ++y)
    for (size_t x = 0; x < W; ++x) bitmap.Row(static_cast<int32_t>(y))[x] = rows[y][x];
  return bitmap;
}
}  // namespace

ui::Bitmap LoadBitmapResource(int32_t id) {
  switch (id) {
    case 130:
      return FromRows(kTile130);
    case 140:
      return FromRows(kTile140);
    case 141:
      return FromRows(kTile141);
    default:
      return {};
  }
}

}  // namespace platform
