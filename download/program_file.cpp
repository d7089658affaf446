// The program headers, read from the file's first bytes, and the certificate table they locate.
#include "download/program_file.h"

#include <algorithm>
#include <array>

#include "platform/little_endian.h"

namespace {

using platform::HeldFile;

constexpr size_t kPeOffsetField = 0x3C;
constexpr std::string_view kPeSignature("PE\0\0", 4);
// From "PE\0\0": the file header (20 bytes: the section count at 2, the symbol table's pointer at
// 8, the optional header's size at 16), then the optional header. Its data directories start at
// 96 (PE32) or 112 (PE32+), their count just before them; the section table follows it.
constexpr size_t kFileHeaderSize = 20;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr size_t kPe32Directories = 96;
constexpr size_t kPe32PlusDirectories = 112;
constexpr size_t kChecksumField = 64;
constexpr size_t kHeadersSizeField = 60;
// Directory 4 locates the certificate table by file offset and size; 8 bytes per directory.
constexpr uint32_t kCertificateDirectory = 4;
constexpr size_t kDirectorySize = 8;
// A section's header: its data's size in the file at 16, and its offset at 20.
constexpr size_t kSectionHeaderSize = 40;
// An entry: its length (4 bytes), revision (2) and type (2), then the signature: PKCS #7 signed
// data, a DER SEQUENCE whose length takes up to 4 bytes.
constexpr uint32_t kEntryHeaderSize = 8;
constexpr uint16_t kRevision2 = 0x0200;
constexpr uint16_t kPkcsSignedData = 0x0002;
constexpr uint8_t kDerSequence = 0x30;
constexpr size_t kEntryStartRead = kEntryHeaderSize + 6;
constexpr uint32_t kAlignment = 8;

uint32_t Get(std::string_view bytes, size_t at, size_t size) {
  return platform::GetLittleEndian(bytes, at, size);
}

// Where "PE\0\0" lies in `start`.
std::optional<size_t> PeSignatureAt(std::string_view start) {
  if (start.size() < kPeOffsetField + 4 || !start.starts_with("MZ")) return std::nullopt;
  const uint32_t pe = Get(start, kPeOffsetField, 4);
  if (pe > start.size() || start.substr(pe, kPeSignature.size()) != kPeSignature) return std::nullopt;
  return pe;
}

// The end of the headers (the section table included, whatever their size field says) and of the
// last section's data; empty when the section table lies beyond `start`.
std::optional<uint64_t> ImageEnd(std::string_view start, size_t pe, size_t optional, size_t table) {
  const size_t sections = Get(start, pe + 6, 2);
  const size_t tableEnd = table + sections * kSectionHeaderSize;
  if (tableEnd > start.size()) return std::nullopt;
  uint64_t end = std::max<uint64_t>(Get(start, optional + kHeadersSizeField, 4), tableEnd);
  for (size_t header = table; header < tableEnd; header += kSectionHeaderSize) {
    const uint32_t rawSize = Get(start, header + 16, 4), rawAt = Get(start, header + 20, 4);
    if (rawSize > 0) end = std::max(end, uint64_t{rawAt} + rawSize);
  }
  return end;
}

// The first bytes of `file`, as many as hold its headers; fewer when the file is shorter.
std::string ReadStart(const HeldFile& file) {
  std::string start(kPeHeadersRead, '\0');
  const int64_t got = file.ReadAt(0, start.data(), start.size());
  start.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return start;
}

bool ReadExactly(const HeldFile& file, uint64_t position, void* data, size_t size) {
  return file.ReadAt(position, data, size) == static_cast<int64_t>(size);
}

// The length of the DER element that `der` starts with (header included); 0 when it is no
// definite-length SEQUENCE.
uint64_t DerSequenceLength(std::string_view der) {
  const auto byte = [der](size_t i) { return static_cast<uint8_t>(der[i]); };
  if (byte(0) != kDerSequence) return 0;
  if (byte(1) < 0x80) return 2u + byte(1);
  const uint32_t lengthBytes = byte(1) & 0x7F;
  if (lengthBytes == 0 || lengthBytes > 4) return 0;
  uint64_t length = 0;
  for (uint32_t i = 0; i < lengthBytes; ++i) length = (length << 8) | byte(2 + i);
  return 2u + lengthBytes + length;
}

std::u16string Problem(const char16_t* detail) {
  return std::u16string(u"signer: the certificate table is not exactly one signature ending the file (") +
         detail + u")";
}

}  // namespace

std::optional<PeHeaders> ReadPeHeaders(std::string_view start) {
  start = start.substr(0, std::min(start.size(), kPeHeadersRead));
  const std::optional<size_t> pe = PeSignatureAt(start);
  if (!pe) return std::nullopt;
  // The signature lies within the bytes read: no offset below can overflow.
  const size_t optional = *pe + kPeSignature.size() + kFileHeaderSize;
  if (start.size() < optional + 2) return std::nullopt;
  const uint32_t magic = Get(start, optional, 2);
  if (magic != kPe32Magic && magic != kPe32PlusMagic) return std::nullopt;
  const size_t directories = magic == kPe32Magic ? kPe32Directories : kPe32PlusDirectories;
  const size_t table = optional + Get(start, *pe + 20, 2);
  if (table < optional + directories || start.size() < optional + directories) return std::nullopt;

  PeHeaders headers;
  headers.checksumAt = static_cast<uint32_t>(optional + kChecksumField);
  headers.symbolTableAt = static_cast<uint32_t>(*pe + 12);
  const size_t entry = optional + directories + kCertificateDirectory * kDirectorySize;
  if (Get(start, optional + directories - 4, 4) > kCertificateDirectory &&
      entry + kDirectorySize <= std::min(table, start.size())) {
    headers.certificateEntryAt = static_cast<uint32_t>(entry);
    headers.certificatesAt = Get(start, entry, 4);
    headers.certificatesSize = Get(start, entry + 4, 4);
  }
  headers.imageEnd = ImageEnd(start, *pe, optional, table);
  return headers;
}

bool IsWindowsProgram(const HeldFile& file) { return PeSignatureAt(ReadStart(file)).has_value(); }

std::optional<std::u16string> CertificateTableProblem(const HeldFile& file) {
  const std::optional<PeHeaders> headers = ReadPeHeaders(ReadStart(file));
  if (!headers || headers->certificatesSize == 0) return Problem(u"the headers locate no table");
  const int64_t fileSize = file.Size();
  if (fileSize < 0 ||
      headers->certificatesAt + headers->certificatesSize != static_cast<uint64_t>(fileSize)) {
    return Problem(u"the table does not end the file");
  }
  std::array<char, kEntryStartRead> start{};
  if (headers->certificatesSize < start.size() ||
      !ReadExactly(file, headers->certificatesAt, start.data(), start.size())) {
    return Problem(u"the table is too short");
  }
  const std::string_view entry(start.data(), start.size());
  const uint32_t entryLength = Get(entry, 0, 4);
  if (Get(entry, 4, 2) != kRevision2 || Get(entry, 6, 2) != kPkcsSignedData) {
    return Problem(u"the entry is no PKCS #7 signature");
  }
  const uint64_t signatureEnd = kEntryHeaderSize + DerSequenceLength(entry.substr(kEntryHeaderSize));
  if (signatureEnd == kEntryHeaderSize || signatureEnd > entryLength) {
    return Problem(u"the signature does not fit its entry");
  }
  const uint64_t padded = (signatureEnd + kAlignment - 1) / kAlignment * kAlignment;
  if (entryLength != padded || headers->certificatesSize != padded)
    return Problem(u"bytes follow the signature");
  std::array<uint8_t, kAlignment> padding{};
  const size_t paddingSize = static_cast<size_t>(padded - signatureEnd);
  if (!ReadExactly(file, headers->certificatesAt + signatureEnd, padding.data(), paddingSize)) {
    return Problem(u"the padding cannot be read");
  }
  for (size_t i = 0; i < paddingSize; ++i) {
    if (padding[i] != 0) return Problem(u"the padding after the signature is not zero");
  }
  return std::nullopt;
}
