// The trust seam on Linux: SHA-256 from libcrypto. Authenticode signatures cannot be judged here
// (there is no system store of trusted code-signing roots), so the signer check is unavailable.
#include "platform/trust.h"

#include <openssl/evp.h>

#include <memory>
#include <vector>

namespace platform {
namespace {

struct FreeDigestContext {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

constexpr size_t kReadPiece = 1 << 20;

}  // namespace

std::optional<Sha256Digest> FileSha256(const HeldFile& file) {
  std::unique_ptr<EVP_MD_CTX, FreeDigestContext> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
  std::vector<unsigned char> piece(kReadPiece);
  uint64_t position = 0;
  for (;;) {
    const int64_t got = file.ReadAt(position, piece.data(), piece.size());
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    if (EVP_DigestUpdate(context.get(), piece.data(), static_cast<size_t>(got)) != 1) return std::nullopt;
    position += static_cast<uint64_t>(got);
  }
  Sha256Digest digest;
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1 || length != digest.size()) {
    return std::nullopt;
  }
  return digest;
}

SignerCheck CheckAuthenticodeSigner(const HeldFile&) {
  SignerCheck check;
  check.outcome = SignerCheck::Outcome::Unavailable;
  check.step = u"not available on this platform";
  return check;
}

}  // namespace platform
