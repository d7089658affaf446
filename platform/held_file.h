// The held-file seam: a finished download opened for reading in a way that keeps it as it is. While
// it is held others may read and run the file, but nobody may write, rename or delete it, so what
// was checked is what gets launched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class HeldFile {
 public:
  HeldFile() = default;
  HeldFile(HeldFile&& other) noexcept;
  HeldFile& operator=(HeldFile&& other) noexcept;
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  ~HeldFile() { Close(); }

  // Opens an existing file; false when it is missing, a folder, or open for writing elsewhere.
  bool Open(const std::u16string& path);
  bool IsOpen() const { return m_hFile != -1; }
  const std::u16string& Path() const { return m_strPath; }
  // The size in bytes; -1 when it cannot be learned.
  int64_t Size() const;
  // Reads up to `size` bytes at `position`: the count read (0 at the end), or -1 on failure.
  int64_t ReadAt(uint64_t position, void* data, size_t size) const;
  // The system's handle or descriptor, for the trust seam.
  intptr_t Native() const { return m_hFile; }
  void Close();

 private:
  intptr_t m_hFile = -1;
  std::u16string m_strPath;
};

}  // namespace platform
