// Where things lie in a Windows program file (PE), as far as packing needs to know: the end of its
// image (the headers and every section's data), the certificate table of a signature, and the
// header fields that change when data is added after the image.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace bundle {

// Enough of a program file's start to hold its headers and section table.
inline constexpr uint32_t kPeHeadersRead = 4096;

struct PeLayout {
  uint64_t imageEnd = 0;          // the end of the headers and of the last section's data
  uint64_t certificatesAt = 0;    // the start of the certificate table; 0 without one
  uint64_t certificatesSize = 0;
  uint32_t checksumAt = 0;        // the optional header's checksum field
  uint32_t certificateEntryAt = 0;  // the data directory's entry for the certificate table; 0 without one
  uint32_t symbolTableAt = 0;     // the file header's pointer to the symbol table (and the count after it)

  // Where data added after the image ends: the certificate table, or the end of the file.
  uint64_t AddedDataEnd(uint64_t fileSize) const {
    return certificatesSize > 0 && certificatesAt >= imageEnd ? certificatesAt : fileSize;
  }
};

// The layout of the program file of `fileSize` bytes that starts with `headers`; nullopt when the
// headers are not those of a PE file, or describe more than the file holds.
std::optional<PeLayout> ReadPeLayout(std::string_view headers, uint64_t fileSize);

// The checksum of the whole `file` as the PE format defines it, its own field counted as zero.
uint32_t PeChecksum(std::string_view file, uint32_t checksumAt);

}  // namespace bundle
