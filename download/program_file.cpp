// The program header and the certificate table, read field by field.
#include "download/program_file.h"

#include <array>
#include <cstdint>

namespace {

using platform::HeldFile;

constexpr uint64_t kPeOffsetField = 0x3C;
// From "PE\0\0": the file header (20 bytes, the optional header's size at 16), then the optional
// header, whose data directories start at 96 (PE32) or 112 (PE32+), the count just before them.
constexpr uint32_t kOptionalHeaderSizeField = 4 + 16;
constexpr uint32_t kOptionalHeader = 4 + 20;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kPe32Directories = 96;
constexpr uint32_t kPe32PlusDirectories = 112;
// Directory 4 locates the certificate table by file offset and size; 8 bytes per directory.
constexpr uint32_t kCertificateDirectory = 4;
constexpr uint32_t kDirectorySize = 8;
constexpr size_t kHeadersRead = kOptionalHeader + kPe32PlusDirectories + (kCertificateDirectory + 1) * kDirectorySize;
// An entry: its length (4 bytes), revision (2) and type (2), then the signature: PKCS #7 signed
// data, a DER SEQUENCE whose length takes up to 4 bytes.
constexpr uint32_t kEntryHeaderSize = 8;
constexpr uint16_t kRevision2 = 0x0200;
constexpr uint16_t kPkcsSignedData = 0x0002;
constexpr uint8_t kDerSequence = 0x30;
constexpr size_t kEntryStartRead = kEntryHeaderSize + 6;
constexpr uint32_t kAlignment = 8;

bool ReadExactly(const HeldFile& file, uint64_t position, void* data, size_t size) {
  return file.ReadAt(position, data, size) == static_cast<int64_t>(size);
}

uint16_t Le16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

uint32_t Le32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
         (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

std::optional<uint32_t> PeOffset(const HeldFile& file) {
  uint8_t mz[2];
  uint8_t offset[4];
  if (!ReadExactly(file, 0, mz, sizeof mz) || mz[0] != 'M' || mz[1] != 'Z') return std::nullopt;
  if (!ReadExactly(file, kPeOffsetField, offset, sizeof offset)) return std::nullopt;
  return Le32(offset);
}

bool IsPeSignature(const uint8_t* at) { return at[0] == 'P' && at[1] == 'E' && at[2] == 0 && at[3] == 0; }

struct TableLocation {
  uint64_t offset = 0;
  uint64_t size = 0;
};

// Where the headers put the certificate table; empty when they do not locate one.
std::optional<TableLocation> LocateTable(const HeldFile& file) {
  const std::optional<uint32_t> pe = PeOffset(file);
  if (!pe) return std::nullopt;
  std::array<uint8_t, kHeadersRead> headers{};
  // A PE32 program's headers may end sooner than a PE32+ one's: what was read is looked at.
  const int64_t got = file.ReadAt(*pe, headers.data(), headers.size());
  if (got < static_cast<int64_t>(kOptionalHeader + 2) || !IsPeSignature(headers.data())) return std::nullopt;
  const uint16_t magic = Le16(&headers[kOptionalHeader]);
  if (magic != kPe32Magic && magic != kPe32PlusMagic) return std::nullopt;
  const uint32_t directories = magic == kPe32Magic ? kPe32Directories : kPe32PlusDirectories;
  const uint32_t entryEnd = directories + (kCertificateDirectory + 1) * kDirectorySize;
  if (got < static_cast<int64_t>(kOptionalHeader + entryEnd) || entryEnd > Le16(&headers[kOptionalHeaderSizeField]) ||
      Le32(&headers[kOptionalHeader + directories - 4]) <= kCertificateDirectory) {
    return std::nullopt;
  }
  const uint8_t* entry = &headers[kOptionalHeader + directories + kCertificateDirectory * kDirectorySize];
  return TableLocation{Le32(entry), Le32(entry + 4)};
}

// The length of the DER element at `at` (header included); 0 when it is no definite-length
// SEQUENCE.
uint64_t DerSequenceLength(const uint8_t* at) {
  if (at[0] != kDerSequence) return 0;
  if (at[1] < 0x80) return 2u + at[1];
  const uint32_t lengthBytes = at[1] & 0x7F;
  if (lengthBytes == 0 || lengthBytes > 4) return 0;
  uint64_t length = 0;
  for (uint32_t i = 0; i < lengthBytes; ++i) length = (length << 8) | at[2 + i];
  return 2u + lengthBytes + length;
}

std::u16string Problem(const char16_t* detail) {
  return std::u16string(u"signer: the certificate table is not exactly one signature ending the file (") + detail +
         u")";
}

}  // namespace

bool IsWindowsProgram(const HeldFile& file) {
  const std::optional<uint32_t> pe = PeOffset(file);
  uint8_t signature[4];
  return pe && ReadExactly(file, *pe, signature, sizeof signature) && IsPeSignature(signature);
}

std::optional<std::u16string> CertificateTableProblem(const HeldFile& file) {
  const std::optional<TableLocation> table = LocateTable(file);
  if (!table || table->size == 0) return Problem(u"the headers locate no table");
  const int64_t fileSize = file.Size();
  if (fileSize < 0 || table->offset + table->size != static_cast<uint64_t>(fileSize)) {
    return Problem(u"the table does not end the file");
  }
  std::array<uint8_t, kEntryStartRead> start{};
  if (table->size < start.size() || !ReadExactly(file, table->offset, start.data(), start.size())) {
    return Problem(u"the table is too short");
  }
  const uint32_t entryLength = Le32(&start[0]);
  if (Le16(&start[4]) != kRevision2 || Le16(&start[6]) != kPkcsSignedData) {
    return Problem(u"the entry is no PKCS #7 signature");
  }
  const uint64_t signatureEnd = kEntryHeaderSize + DerSequenceLength(&start[kEntryHeaderSize]);
  if (signatureEnd == kEntryHeaderSize || signatureEnd > entryLength) {
    return Problem(u"the signature does not fit its entry");
  }
  const uint64_t padded = (signatureEnd + kAlignment - 1) / kAlignment * kAlignment;
  if (entryLength != padded || table->size != padded) return Problem(u"bytes follow the signature");
  std::array<uint8_t, kAlignment> padding{};
  const size_t paddingSize = static_cast<size_t>(padded - signatureEnd);
  if (!ReadExactly(file, table->offset + signatureEnd, padding.data(), paddingSize)) {
    return Problem(u"the padding cannot be read");
  }
  for (size_t i = 0; i < paddingSize; ++i) {
    if (padding[i] != 0) return Problem(u"the padding after the signature is not zero");
  }
  return std::nullopt;
}
