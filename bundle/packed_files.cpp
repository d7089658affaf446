// Writing and reading the bundle.
#include "bundle/packed_files.h"

#include <algorithm>
#include <cstring>

#include "platform/little_endian.h"
#include "platform/trust.h"

namespace bundle {
namespace {

using platform::AppendLittleEndian;
using platform::GetLittleEndian;

constexpr std::string_view kMagic = "TORVPACK";
constexpr size_t kMaxNameLength = 255;

bool IsPackableName(std::u16string_view name) {
  return !name.empty() && name.size() <= kMaxNameLength &&
         std::all_of(name.begin(), name.end(), [](char16_t c) { return c > 0 && c < 0x80; });
}

// Reads the bundle's files in order; false when they do not fill `body` (the bytes between the
// header and the digest) exactly, in `count` files.
class EntryReader {
 public:
  EntryReader(std::string_view bundle, uint32_t count) : m_bundle(bundle), m_count(count) {}

  template <typename Visit>
  bool ReadAll(Visit visit) {
    uint32_t at = kHeaderSize;
    const uint32_t end = static_cast<uint32_t>(m_bundle.size()) - kDigestSize;
    for (uint32_t i = 0; i < m_count; ++i) {
      if (end - at < 1) return false;
      const uint32_t nameLength = static_cast<unsigned char>(m_bundle[at]);
      if (nameLength == 0 || end - at - 1 < nameLength + 4) return false;
      const uint32_t nameAt = at + 1;
      const uint32_t dataLength = GetLittleEndian(m_bundle, nameAt + nameLength);
      const uint32_t dataAt = nameAt + nameLength + 4;
      if (end - dataAt < dataLength) return false;
      visit(nameAt, nameLength, dataAt, dataLength);
      at = dataAt + dataLength;
    }
    return at == end;
  }

 private:
  std::string_view m_bundle;
  uint32_t m_count;
};

}  // namespace

std::optional<std::string> EncodeBundle(const std::vector<PackedFile>& files) {
  uint64_t size = kHeaderSize + kDigestSize;
  for (const PackedFile& file : files) {
    if (!IsPackableName(file.name)) return std::nullopt;
    size += 1 + file.name.size() + 4 + file.bytes.size();
  }
  if (size > kMaxBundleSize) return std::nullopt;
  std::string bundle(kMagic);
  bundle.reserve(static_cast<size_t>(size));
  AppendLittleEndian(bundle, static_cast<uint32_t>(size));
  AppendLittleEndian(bundle, static_cast<uint32_t>(files.size()));
  for (const PackedFile& file : files) {
    bundle += static_cast<char>(file.name.size());
    for (char16_t c : file.name) bundle += static_cast<char>(c);
    AppendLittleEndian(bundle, static_cast<uint32_t>(file.bytes.size()));
    bundle += file.bytes;
  }
  const std::optional<platform::Sha256Digest> digest = platform::BytesSha256(bundle);
  if (!digest) return std::nullopt;
  bundle.append(reinterpret_cast<const char*>(digest->data()), digest->size());
  return bundle;
}

std::optional<uint32_t> DeclaredBundleLength(std::string_view bytes) {
  if (bytes.size() < kHeaderSize || !bytes.starts_with(kMagic)) return std::nullopt;
  return GetLittleEndian(bytes, kMagic.size());
}

std::optional<PackedFiles> PackedFiles::Decode(std::string bundle) {
  const std::optional<uint32_t> length = DeclaredBundleLength(bundle);
  if (!length || *length != bundle.size() || *length < kHeaderSize + kDigestSize || *length > kMaxBundleSize)
    return std::nullopt;
  const std::string_view covered = std::string_view(bundle).substr(0, *length - kDigestSize);
  const std::optional<platform::Sha256Digest> digest = platform::BytesSha256(covered);
  if (!digest || std::memcmp(digest->data(), bundle.data() + covered.size(), kDigestSize) != 0)
    return std::nullopt;
  PackedFiles files;
  const bool whole = EntryReader(bundle, GetLittleEndian(bundle, kMagic.size() + 4))
                         .ReadAll([&](uint32_t nameAt, uint32_t nameLength, uint32_t dataAt, uint32_t dataLength) {
                           files.m_entries.push_back({nameAt, nameLength, dataAt, dataLength});
                         });
  if (!whole) return std::nullopt;
  files.m_bytes = std::move(bundle);
  return files;
}

std::optional<std::string_view> PackedFiles::Find(std::u16string_view name) const {
  for (const Entry& entry : m_entries) {
    const std::string_view packed = Name(entry);
    if (std::equal(packed.begin(), packed.end(), name.begin(), name.end(),
                   [](char a, char16_t b) { return static_cast<unsigned char>(a) == b; }))
      return std::string_view(m_bytes).substr(entry.dataAt, entry.dataLength);
  }
  return std::nullopt;
}

std::vector<PackedFile> PackedFiles::Files() const {
  std::vector<PackedFile> files;
  for (const Entry& entry : m_entries) {
    const std::string_view name = Name(entry);
    files.push_back({std::u16string(name.begin(), name.end()), m_bytes.substr(entry.dataAt, entry.dataLength)});
  }
  return files;
}

}  // namespace bundle
