// The trust seam: the SHA-256 digest of a held file, and the Authenticode signer of a held program
// as the system judges it: a valid signature over the file, a certificate chain valid for code
// signing up to a root this computer trusts, and the signer's common name.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/held_file.h"

namespace platform {

using Sha256Digest = std::array<uint8_t, 32>;

// The digest of the whole file, read from its start; empty when the file cannot be read.
std::optional<Sha256Digest> FileSha256(const HeldFile& file);

// The digest of bytes in memory; empty when the system cannot compute it.
std::optional<Sha256Digest> BytesSha256(std::string_view bytes);

struct SignerCheck {
  enum class Outcome {
    Trusted,      // signed, the signature covers the file, and the chain is trusted for code signing
    Refused,      // the system refuses the signature or its chain
    Unavailable,  // this platform cannot judge signatures at all
  };
  Outcome outcome = Outcome::Unavailable;
  // Which step refused ("signature", "chain policy", "chain"), and the system's result code there.
  std::u16string step;
  uint32_t code = 0;
  // Every common name in the signer certificate's subject, each in full (an embedded NUL does not end
  // it), whenever a signer certificate was found.
  std::vector<std::u16string> commonNames;
};

SignerCheck CheckAuthenticodeSigner(const HeldFile& file);

}  // namespace platform
