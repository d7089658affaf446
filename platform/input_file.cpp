// Whole files read through the input-file seam.
#include "platform/input_file.h"

namespace platform {

std::optional<std::string> ReadWholeFile(const std::u16string& path, int64_t maxSize) {
  InputFile file;
  if (!file.Open(path)) return std::nullopt;
  const int64_t size = file.Size();
  if (size < 0 || size > maxSize) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!file.Read(bytes.data(), bytes.size())) return std::nullopt;
  return bytes;
}

}  // namespace platform
