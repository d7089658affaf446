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

// One SHA-256 computation through libcrypto; a failing step makes the digest unavailable.
class Sha256Hash {
 public:
  Sha256Hash() : m_context(EVP_MD_CTX_new()) {
    if (m_context && EVP_DigestInit_ex(m_context.get(), EVP_sha256(), nullptr) != 1) m_context.reset();
  }
  void Add(const void* data, size_t size) {
    if (m_context && EVP_DigestUpdate(m_context.get(), data, size) != 1) m_context.reset();
  }
  std::optional<Sha256Digest> Finish() {
    Sha256Digest digest;
    unsigned int length = 0;
    if (!m_context || EVP_DigestFinal_ex(m_context.get(), digest.data(), &length) != 1 || length != digest.size())
      return std::nullopt;
    return digest;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, FreeDigestContext> m_context;
};

}  // namespace

std::optional<Sha256Digest> FileSha256(const HeldFile& file) {
  Sha256Hash hash;
  std::vector<unsigned char> piece(kReadPiece);
  uint64_t position = 0;
  for (;;) {
    const int64_t got = file.ReadAt(position, piece.data(), piece.size());
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    hash.Add(piece.data(), static_cast<size_t>(got));
    position += static_cast<uint64_t>(got);
  }
  return hash.Finish();
}

std::optional<Sha256Digest> BytesSha256(std::string_view bytes) {
  Sha256Hash hash;
  hash.Add(bytes.data(), bytes.size());
  return hash.Finish();
}

SignerCheck CheckAuthenticodeSigner(const HeldFile&) {
  SignerCheck check;
  check.outcome = SignerCheck::Outcome::Unavailable;
  check.step = u"not available on this platform";
  return check;
}

}  // namespace platform
