// The file seam: the destination file of a download. Created anew and open for writing by us alone
// (nobody else may open it while it is open), written at positions straight to the system, synced
// once, and either handed on to a hold (platform/held_file.h) or removed through its own handle.
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

  // Creates the file anew, open for writing by us alone. A file already at `path` is removed first
  // (a link there is removed itself, never followed); false when it is in use, or when the file
  // cannot be created.
  bool CreateExclusive(const std::u16string& path);
  bool IsOpen() const;
  const std::u16string& Path() const { return m_strPath; }
  // Writes all of `data` at `position`; false on any failure (a full disk, a size limit).
  bool WriteAt(uint64_t position, const void* data, size_t size);
  // Cuts the file back to no bytes at all.
  bool Truncate();
  // Makes everything written so far durable on the disk.
  bool Sync();
  // Removes the file through its handle and closes it; false when it could not be removed (it is
  // closed all the same).
  bool Discard();
  void Close();

  // The system's handle or descriptor, for the held-file seam; -1 when closed.
  intptr_t Native() const { return m_hFile; }
  // Gives the handle up to the caller, who closes it; the file object is closed afterwards.
  intptr_t Detach();

 private:
  intptr_t m_hFile = -1;
  std::u16string m_strPath;
};

// Deletes a file that nobody holds open; a link is deleted itself, never its target. False when it
// could not be deleted (a missing file counts as deleted).
bool RemoveFile(const std::u16string& path);

// Creates or replaces the file at `path` with `bytes`, made durable; false when it cannot be written.
bool WriteWholeFile(const std::u16string& path, std::string_view bytes);

}  // namespace platform
