// The log-file seam: a text file written from its start by appending, which others may read (and
// copy) while it is written; and moving a file to a new name, replacing one there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class LogFile {
 public:
  LogFile() = default;
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  ~LogFile() { Close(); }

  // Creates the file, or empties an existing one; false when it cannot be written.
  bool Create(const std::u16string& path);
  bool IsOpen() const { return m_hFile != -1; }
  // Adds `size` bytes at the end, straight to the system; false on any failure.
  bool Append(const void* data, size_t size);
  void Close();

 private:
  intptr_t m_hFile = -1;  // the system's handle or descriptor; -1 when closed
};

// Gives the file at `from` the name `to`, replacing a file of that name; false when it cannot.
bool MoveFileReplacing(const std::u16string& from, const std::u16string& to);

}  // namespace platform
