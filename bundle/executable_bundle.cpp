// Finding the bundle after a program's image, and putting one there.
#include "bundle/executable_bundle.h"

#include <algorithm>

#include "bundle/little_endian.h"
#include "bundle/pe_layout.h"
#include "platform/input_file.h"

namespace bundle {
namespace {

// Signing pads the file to a multiple of 8 bytes before its table; so does packing.
constexpr uint64_t kAlignment = 8;

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
  const std::optional<PeLayout> layout = ReadPeLayout(headers, static_cast<uint64_t>(size));
  if (!layout) return {};
  // Packing drops a symbol table that follows the image: a program that still has one (one that
  // was not stripped) carries no packed files, whatever follows its image.
  if (GetLittleEndian(headers, layout->symbolTableAt) >= layout->imageEnd) return {};
  const uint64_t end = layout->AddedDataEnd(static_cast<uint64_t>(size));
  const uint64_t added = end > layout->imageEnd ? end - layout->imageEnd : 0;
  if (added < kAlignment) return {};
  if (added > kMaxBundleSize + kAlignment) return {PackedLookup::State::Damaged, {}};
  std::string bytes(static_cast<size_t>(added), '\0');
  if (!file.Seek(static_cast<int64_t>(layout->imageEnd)) || !file.Read(bytes.data(), bytes.size()))
    return {PackedLookup::State::Damaged, {}};
  return LookUp(std::move(bytes));
}

std::optional<std::string> PackExecutable(std::string_view stub, std::string_view bundle) {
  const std::optional<PeLayout> layout = ReadPeLayout(stub.substr(0, kPeHeadersRead), stub.size());
  if (!layout) return std::nullopt;
  std::string packed(stub.substr(0, static_cast<size_t>(layout->imageEnd)));
  if (layout->certificateEntryAt != 0) {
    PutLittleEndian(packed, layout->certificateEntryAt, 0);
    PutLittleEndian(packed, layout->certificateEntryAt + 4, 0);
  }
  // A symbol table after the image (a program that was not stripped) stays behind with the rest.
  if (GetLittleEndian(packed, layout->symbolTableAt) >= layout->imageEnd) {
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
