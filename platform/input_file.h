// Input-file seam: a whole file read through the runtime library's file streams (open by a UTF-16
// path, seek, tell, read, close), and the system's text for the error that made one of them fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace platform {

class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() { Close(); }

  // Opens an existing file for reading ("rb"); a folder is refused.
  bool Open(const std::u16string& path);
  // The size in bytes, found by seeking to the end; the position is then at the start. -1 on failure.
  int64_t Size();
  bool Seek(int64_t offset);
  // Reads exactly `count` bytes; a file that ends earlier fails.
  bool Read(void* buffer, size_t count);
  // False when the system reports a failure while closing (or when nothing was open).
  bool Close();

 private:
  std::FILE* m_file = nullptr;
};

struct SystemError {
  int32_t number;
  std::u16string message;  // the system's text for the number, possibly several lines; may be empty
};

// The error that made the last failing call of this thread fail: GetLastError and its system
// message on Windows, errno and strerror on Linux.
SystemError LastSystemError();
// The error of a file too large for this program to read into memory.
SystemError FileTooLargeError();
// The error of a file that does not exist.
SystemError MissingFileError();

// The whole file at `path`; nullopt when it is missing, unreadable or larger than `maxSize` bytes.
std::optional<std::string> ReadWholeFile(const std::u16string& path, int64_t maxSize);

}  // namespace platform
