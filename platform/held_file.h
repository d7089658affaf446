// The held-file seam: a finished download opened for reading in a way that keeps it as it is. While
// it is held others may read and run the file, but nobody may write, rename or delete it, so what
// was checked is what gets launched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file.h"

namespace platform {

class HeldFile {
 public:
  enum class HoldOutcome {
    Held,
    Replaced,  // the name no longer leads to the file that was written, or leads to it through a link
    Failed,    // the file could not be held
  };

  HeldFile() = default;
  HeldFile(HeldFile&& other) noexcept;
  HeldFile& operator=(HeldFile&& other) noexcept;
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  ~HeldFile() { Close(); }

  // Opens an existing file; false when it is missing, a folder, or open for writing elsewhere.
  bool Open(const std::u16string& path);
  // Takes over a file just written through `written`, which is closed afterwards, without letting
  // anybody change it in between: the file stays what was written, and its name must lead to it
  // directly (no link, no reparse point, no second name). On any other outcome nothing is held.
  HoldOutcome Hold(File& written);
  bool IsOpen() const { return m_hFile != -1; }
  const std::u16string& Path() const { return m_strPath; }
  // The size in bytes; -1 when it cannot be learned.
  int64_t Size() const;
  // Reads up to `size` bytes at `position`: the count read (0 at the end), or -1 on failure.
  int64_t ReadAt(uint64_t position, void* data, size_t size) const;
  // Gives a file taken over by Hold the name `name` in its folder, through the hold, replacing a
  // file of that name that nobody holds. False when it keeps its name.
  bool Rename(const std::u16string& name);
  // The full path the system gives the held file now, all links resolved; empty when it has none.
  std::u16string FinalPath() const;
  // Removes a file taken over by Hold, through the hold, and closes it; false when it could not be
  // removed (it is closed all the same).
  bool Discard();
  // The system's handle or descriptor, for the trust seam.
  intptr_t Native() const { return m_hFile; }
  void Close();

 private:
  // `name` in the folder of the held file's path.
  std::u16string SiblingPath(const std::u16string& name) const;

  intptr_t m_hFile = -1;
  std::u16string m_strPath;
};

}  // namespace platform
