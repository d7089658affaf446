// The file seam: the destination file of a download. Opened exclusively (nobody else may open it
// while it is open) and emptied, written at positions straight to the system, synced once, closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class File {
 public:
  File() = default;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() { Close(); }

  // Creates the file or empties an existing one, open for writing by us alone. False when it
  // cannot be created or is open elsewhere (an existing file is then left as it was).
  bool CreateExclusive(const std::u16string& path);
  bool IsOpen() const;
  // Writes all of `data` at `position`; false on any failure (a full disk, a size limit).
  bool WriteAt(uint64_t position, const void* data, size_t size);
  // Cuts the file back to no bytes at all.
  bool Truncate();
  // Makes everything written so far durable on the disk.
  bool Sync();
  void Close();

 private:
  intptr_t m_hFile = -1;  // the system's handle or descriptor; -1 when closed
};

// Deletes a file; false when it could not be deleted (a missing file counts as deleted).
bool RemoveFile(const std::u16string& path);

// Creates or replaces the file at `path` with `bytes`, made durable; false when it cannot be written.
bool WriteWholeFile(const std::u16string& path, std::string_view bytes);

}  // namespace platform
