// What the text reader reads: a file through the input-file seam, or the bytes of a file held in
// memory, with the same open, size, seek and read steps for both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/file_source.h"
#include "platform/input_file.h"

class TextSource {
 public:
  // False when the file cannot be opened, or a file in memory is missing; the platform's last
  // error then says why.
  bool Open(const platform::FileSource& file);
  // The size in bytes; the position is then at the start. -1 on failure.
  int64_t Size();
  bool Seek(int64_t offset);
  // Reads exactly `count` bytes; a source that ends earlier fails.
  bool Read(void* buffer, size_t count);
  // False when closing a file fails.
  bool Close();

 private:
  platform::InputFile m_file;
  std::optional<std::string_view> m_bytes;  // set for a file in memory
  size_t m_position = 0;
};
