// Finding the bundle after a program's image, and putting one there.
#include "bundle/executable_bundle.h"

#include <algorithm>

#include "download/program_file.h"
#include "platform/input_file.h"
#include "platform/little_endian.h"

namespace bundle {
namespace {

using platform::GetLittleEndian;
using platform::PutLittleEndian;

// Signing pads the file to a multiple of 8 bytes before its table; so does packing.
constexpr uint64_t kAlignment = 8;

// The headers of the program of `fileSize` bytes that starts with `start`; nullopt when they are
// not those of a PE file, or describe an image that the file does not hold.
std::optional<PeHeaders> ReadImageHeaders(std::string_view start, uint64_t fileSize) {
  std::optional<PeHeaders> headers = ReadPeHeaders(start);
  if (!headers || !headers->imageEnd || *headers->imageEnd > fileSize) return std::nullopt;
  return headers;
}

// Where data added after the image ends: the certificate table, or the end of the file.
uint64_t AddedDataEnd(const PeHeaders& headers, uint64_t fileSize) {
  return headers.certificatesSize > 0 && headers.certificatesAt >= *headers.imageEnd ? headers.certificatesAt
                                                                                     : fileSize;
}

// The checksum of the whole `file` as the PE format defines it, its own field counted as zero.
uint32_t PeChecksum(std::string_view file, uint32_t checksumAt) {
  uint64_t sum = 0;
  for (size_t at = 0; at < file.size(); at += 2) {
    if (at == checksumAt || at == checksumAt + 2) continue;
    sum += GetLittleEndian(file, at, at + 1 < file.size() ? 2 : 1);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + file.size());
}

// What lies after the image: a bundle and at most the padding of its alignment.
PackedLookup LookUp(std::string added) {
  const std::optional<uint32_t> length = DeclaredBundleLength(added);
  if (!length || *length > added.size() || added.size() - *length >= kAlignment) return {PackedLookup::State::Damaged, {}};
  added.resize(*length);
  std::optional<PackedFiles> files = PackedFiles::Decode(std::move(added));
  if (!files) return {PackedLookup::State::Damaged, {}};
  return {PackedLookup::State::Found, std::move(files)};
}

}  // namespace

PackedLookup ReadPackedFiles(const std::u16string& path) {
  platform::InputFile file;
  if (!file.Open(path)) return {};
  const int64_t size = file.Size();
  if (size <= 0) return {};
  std::string headers(static_cast<size_t>(std::min<int64_t>(size, kPeHeadersRead)), '\0');
  if (!file.Read(headers.data(), headers.size())) return {};
  const std::optional<PeHeaders> layout = ReadImageHeaders(headers, static_cast<uint64_t>(size));
  if (!layout) return {};
  const uint64_t imageEnd = *layout->imageEnd;
  // Packing drops a symbol table that follows the image: a program that still has one (one that
  // was not stripped) carries no packed files, whatever follows its image.
  if (GetLittleEndian(headers, layout->symbolTableAt) >= imageEnd) return {};
  const uint64_t end = AddedDataEnd(*layout, static_cast<uint64_t>(size));
  const uint64_t added = end > imageEnd ? end - imageEnd : 0;
  if (added < kAlignment) return {};
  if (added > kMaxBundleSize + kAlignment) return {PackedLookup::State::Damaged, {}};
  std::string bytes(static_cast<size_t>(added), '\0');
  if (!file.Seek(static_cast<int64_t>(imageEnd)) || !file.Read(bytes.data(), bytes.size()))
    return {PackedLookup::State::Damaged, {}};
  return LookUp(std::move(bytes));
}

std::optional<std::string> PackExecutable(std::string_view stub, std::string_view bundle) {
  const std::optional<PeHeaders> layout = ReadImageHeaders(stub, stub.size());
  if (!layout) return std::nullopt;
  const uint64_t imageEnd = *layout->imageEnd;
  std::string packed(stub.substr(0, static_cast<size_t>(imageEnd)));
  if (layout->certificateEntryAt != 0) {
    PutLittleEndian(packed, layout->certificateEntryAt, 0);
    PutLittleEndian(packed, layout->certificateEntryAt + 4, 0);
  }
  // A symbol table after the image (a program that was not stripped) stays behind with the rest.
  if (GetLittleEndian(packed, layout->symbolTableAt) >= imageEnd) {
    PutLittleEndian(packed, layout->symbolTableAt, 0);
    PutLittleEndian(packed, layout->symbolTableAt + 4, 0);
  }
  packed += bundle;
  packed.append(static_cast<size_t>((kAlignment - packed.size() % kAlignment) % kAlignment), '\0');
  if (GetLittleEndian(packed, layout->checksumAt) != 0)
    PutLittleEndian(packed, layout->checksumAt, PeChecksum(packed, layout->checksumAt));
  return packed;
}

}  // namespace bundle
