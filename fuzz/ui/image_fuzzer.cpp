// Feeds arbitrary bytes to the image decoder as a skin file: it must give an image or an empty one,
// never crash, leak or read out of bounds (the JPEG decoder's error path jumps out of the library).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/image.h"
#include "platform/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/torvin_image_fuzz_" + std::to_string(getpid()) + ".img";
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return 0;
  fwrite(data, 1, size, file);
  fclose(file);
  const ui::Bitmap image = platform::LoadImageFile(platform::FromUtf8(path));
  if (!image.Empty() && image.Row(image.Height() - 1)[image.Width() - 1] > 0x00FFFFFFu) __builtin_trap();
  return 0;
}
