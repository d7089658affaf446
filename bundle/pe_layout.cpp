// Reading a PE file's headers: the DOS header's pointer to the PE signature, the file header, the
// optional header (32- or 64-bit) with its checksum and data directories, and the section table.
#include "bundle/pe_layout.h"

#include <algorithm>

#include "bundle/little_endian.h"

namespace bundle {
namespace {

constexpr uint32_t kPeOffsetField = 0x3C;
constexpr uint32_t kFileHeaderSize = 20;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint16_t kOptionalMagic32 = 0x10B;
constexpr uint16_t kOptionalMagic64 = 0x20B;
constexpr uint32_t kCertificateDirectory = 4;

uint32_t Get(std::string_view bytes, size_t at, size_t size) { return GetLittleEndian(bytes, at, size); }

}  // namespace

std::optional<PeLayout> ReadPeLayout(std::string_view headers, uint64_t fileSize) {
  if (headers.size() < kPeOffsetField + 4 || !headers.starts_with("MZ")) return std::nullopt;
  const uint32_t pe = Get(headers, kPeOffsetField, 4);
  const uint32_t optional = pe + 4 + kFileHeaderSize;
  if (pe > headers.size() || headers.size() - pe < 4 + kFileHeaderSize + 2 ||
      headers.substr(pe, 4) != std::string_view("PE\0\0", 4))
    return std::nullopt;
  const uint32_t sections = Get(headers, pe + 6, 2);
  const uint32_t optionalSize = Get(headers, pe + 20, 2);
  const uint32_t magic = Get(headers, optional, 2);
  if (magic != kOptionalMagic32 && magic != kOptionalMagic64) return std::nullopt;
  // The data directories follow the fields that differ in width between the two forms.
  const uint32_t directoriesAt = magic == kOptionalMagic64 ? 112 : 96;
  const uint32_t table = optional + optionalSize;
  if (optionalSize < directoriesAt || headers.size() < table + uint64_t{sections} * kSectionHeaderSize)
    return std::nullopt;

  PeLayout layout;
  layout.checksumAt = optional + 64;
  layout.symbolTableAt = pe + 12;
  layout.imageEnd = Get(headers, optional + 60, 4);  // the size of the headers
  for (uint32_t i = 0; i < sections; ++i) {
    const uint32_t header = table + i * kSectionHeaderSize;
    const uint32_t rawSize = Get(headers, header + 16, 4), rawAt = Get(headers, header + 20, 4);
    if (rawSize > 0) layout.imageEnd = std::max(layout.imageEnd, uint64_t{rawAt} + rawSize);
  }
  const uint32_t directories = Get(headers, optional + directoriesAt - 4, 4);
  const uint32_t entry = optional + directoriesAt + kCertificateDirectory * 8;
  if (directories > kCertificateDirectory && entry + 8 <= table) {
    layout.certificateEntryAt = entry;
    layout.certificatesAt = Get(headers, entry, 4);
    layout.certificatesSize = Get(headers, entry + 4, 4);
  }
  if (layout.imageEnd > fileSize) return std::nullopt;
  return layout;
}

uint32_t PeChecksum(std::string_view file, uint32_t checksumAt) {
  uint64_t sum = 0;
  for (size_t at = 0; at < file.size(); at += 2) {
    if (at == checksumAt || at == checksumAt + 2) continue;
    sum += Get(file, at, at + 1 < file.size() ? 2 : 1);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + file.size());
}

}  // namespace bundle
