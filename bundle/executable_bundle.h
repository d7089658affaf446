// The bundle inside the installer's executable. It lies after the image (the last section's data)
// and before the certificate table that signing adds at the end, so the signature's hash covers
// it: a changed byte in it breaks the signature, and signing afterwards keeps it where it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "bundle/packed_files.h"

namespace bundle {

struct PackedLookup {
  enum class State {
    None,     // nothing lies after the image: the program is not packed
    Found,    // a whole bundle
    Damaged,  // something lies after the image, but not a whole bundle
  };
  State state = State::None;
  std::optional<PackedFiles> files;  // when found
};

// The files packed into the program at `path`. A file that cannot be read or is no PE file counts
// as not packed. Fewer than 8 bytes after the image are padding before a signature, not a bundle.
PackedLookup ReadPackedFiles(const std::u16string& path);

// `stub` with `bundle` inside it: the stub's image without whatever followed it (an older bundle,
// a signature), then the bundle, padded with zeros to a multiple of 8 bytes as a signature's
// table must start; the certificate table's entry cleared (the old signature is gone), and the
// checksum made right when the stub has one. Nullopt when `stub` is no PE file.
std::optional<std::string> PackExecutable(std::string_view stub, std::string_view bundle);

}  // namespace bundle
