// The files packed inside the installer's executable, and their form there (the bundle):
//
//   "TORVPACK"                            8 bytes
//   length of the whole bundle            32 bits, little-endian, the digest included
//   number of files                       32 bits
//   each file: length of its name (8 bits), the name (ASCII), length of its data (32 bits), data
//   SHA-256 of every byte above           32 bytes
//
// The digest lets the installer tell a whole bundle from a damaged one before it trusts any of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_source.h"

namespace bundle {

// No bundle comes near this size; a header that claims more is damaged.
inline constexpr uint32_t kMaxBundleSize = 64u << 20;
// The fixed part of a bundle: header and digest.
inline constexpr uint32_t kHeaderSize = 16;
inline constexpr uint32_t kDigestSize = 32;

struct PackedFile {
  std::u16string name;
  std::string bytes;
  friend bool operator==(const PackedFile&, const PackedFile&) = default;
};

// The bundle of `files`; nullopt when a name is empty, not ASCII or longer than 255 characters,
// or the whole would be larger than kMaxBundleSize.
std::optional<std::string> EncodeBundle(const std::vector<PackedFile>& files);

// The length the bundle at the start of `bytes` declares; nullopt when `bytes` do not start with a
// bundle's header.
std::optional<uint32_t> DeclaredBundleLength(std::string_view bytes);

// The files of one bundle, found by their exact names.
class PackedFiles final : public platform::IFileSet {
 public:
  // The files of `bundle`, which must be exactly one whole bundle; nullopt when it is damaged: cut
  // short or too long, malformed, or not matching its digest.
  static std::optional<PackedFiles> Decode(std::string bundle);

  // The data of the file `name`; nullopt when the bundle has no such file.
  std::optional<std::string_view> Find(std::u16string_view name) const;
  platform::FileSource File(std::u16string_view name) const override {
    return platform::FileSource::InMemory(Find(name));
  }
  // Every file, in the bundle's order.
  std::vector<PackedFile> Files() const;

 private:
  struct Entry {
    uint32_t nameAt;
    uint32_t nameLength;
    uint32_t dataAt;
    uint32_t dataLength;
  };
  std::string_view Name(const Entry& entry) const { return std::string_view(m_bytes).substr(entry.nameAt, entry.nameLength); }

  std::string m_bytes;
  std::vector<Entry> m_entries;
};

}  // namespace bundle
