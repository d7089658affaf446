// Images from either source go through the one decoder of the platform.
#include "platform/image.h"

#include "platform/input_file.h"

namespace platform {

ui::Bitmap LoadImageFile(const std::u16string& path) {
  const std::optional<std::string> bytes = ReadWholeFile(path, kMaxImageFileSize);
  return bytes ? DecodeImage(*bytes) : ui::Bitmap();
}

ui::Bitmap LoadImage(const FileSource& file) {
  if (!file.IsInMemory()) return LoadImageFile(file.Path());
  const std::optional<std::string_view> bytes = file.Bytes();
  return bytes ? DecodeImage(*bytes) : ui::Bitmap();
}

}  // namespace platform
