// The trust seam on Win32: SHA-256 through BCrypt; the signer through WinVerifyTrust (no UI, no
// revocation check, nothing fetched from the network) and then two chain checks of our own on the
// signer's certificate. WinVerifyTrust alone accepts a signature whose chain ends in an untrusted
// root on some systems, so the chain must pass the code-signing policy and, built afresh with the
// code-signing usage asked for, end at a trusted root without a single error.
#include "platform/trust.h"

#include <windows.h>
// The crypto headers need the declarations of windows.h first.
#include <bcrypt.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cstring>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

using win32::UniqueHandle;

struct CloseAlgorithm {
  void operator()(BCRYPT_ALG_HANDLE h) const { BCryptCloseAlgorithmProvider(h, 0); }
};
struct DestroyHash {
  void operator()(BCRYPT_HASH_HANDLE h) const { BCryptDestroyHash(h); }
};
struct CloseStore {
  void operator()(HCERTSTORE h) const { CertCloseStore(h, 0); }
};
struct FreeChain {
  void operator()(PCCERT_CHAIN_CONTEXT h) const { CertFreeCertificateChain(h); }
};
struct FreeLocal {
  void operator()(void* memory) const { LocalFree(memory); }
};
using AlgorithmHandle = UniqueHandle<BCRYPT_ALG_HANDLE, CloseAlgorithm>;
using HashHandle = UniqueHandle<BCRYPT_HASH_HANDLE, DestroyHash>;
using StoreHandle = UniqueHandle<HCERTSTORE, CloseStore>;
using ChainHandle = UniqueHandle<PCCERT_CHAIN_CONTEXT, FreeChain>;
using LocalMemory = UniqueHandle<void*, FreeLocal>;

constexpr size_t kReadPiece = 1 << 20;

// One SHA-256 computation through BCrypt; a failing step makes the digest unavailable.
class Sha256Hash {
 public:
  Sha256Hash() {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return;
    m_algorithm.Reset(algorithm);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0) m_hash.Reset(hash);
  }
  void Add(const void* data, size_t size) {
    if (m_hash && BCryptHashData(m_hash.Get(), static_cast<PUCHAR>(const_cast<void*>(data)),
                                 static_cast<ULONG>(size), 0) != 0)
      m_hash.Reset();
  }
  std::optional<Sha256Digest> Finish() {
    Sha256Digest digest;
    if (!m_hash || BCryptFinishHash(m_hash.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0) != 0)
      return std::nullopt;
    return digest;
  }

 private:
  AlgorithmHandle m_algorithm;
  HashHandle m_hash;
};

// One WinVerifyTrust verification whose state is kept until it goes out of scope, so that the
// signer and its chain can be examined.
class TrustVerification {
 public:
  TrustVerification(HANDLE file, const std::u16string& path) {
    m_file.cbStruct = sizeof m_file;
    m_file.pcwszFilePath = win32::Wide(path);
    m_file.hFile = file;
    m_data.cbStruct = sizeof m_data;
    m_data.dwUIChoice = WTD_UI_NONE;
    m_data.fdwRevocationChecks = WTD_REVOKE_NONE;
    m_data.dwUnionChoice = WTD_CHOICE_FILE;
    m_data.pFile = &m_file;
    m_data.dwStateAction = WTD_STATEACTION_VERIFY;
    m_data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_NONE;
    m_status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &m_action, &m_data);
  }
  ~TrustVerification() {
    m_data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &m_action, &m_data);
  }
  TrustVerification(const TrustVerification&) = delete;
  TrustVerification& operator=(const TrustVerification&) = delete;

  LONG Status() const { return m_status; }
  CRYPT_PROVIDER_DATA* ProviderData() const { return WTHelperProvDataFromStateData(m_data.hWVTStateData); }

 private:
  GUID m_action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  WINTRUST_FILE_INFO m_file = {};
  WINTRUST_DATA m_data = {};
  LONG m_status = 0;
};

// The code of a call that failed. A failure is never read as success: where the system left no
// code, a general one stands in.
DWORD FailureCode() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : static_cast<DWORD>(E_FAIL);
}

// Every common name of the certificate's subject, each with its full length: the system's display
// names end at an embedded NUL and give only the first of several.
std::vector<std::u16string> CommonNames(PCCERT_CONTEXT certificate) {
  CERT_NAME_INFO* decoded = nullptr;
  DWORD size = 0;
  if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_UNICODE_NAME, certificate->pCertInfo->Subject.pbData,
                           certificate->pCertInfo->Subject.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded,
                           &size)) {
    return {};
  }
  LocalMemory owned(decoded);
  std::vector<std::u16string> names;
  for (DWORD r = 0; r < decoded->cRDN; ++r) {
    const CERT_RDN& rdn = decoded->rgRDN[r];
    for (DWORD a = 0; a < rdn.cRDNAttr; ++a) {
      const CERT_RDN_ATTR& attribute = rdn.rgRDNAttr[a];
      if (std::strcmp(attribute.pszObjId, szOID_COMMON_NAME) != 0) continue;
      const auto* text = reinterpret_cast<const wchar_t*>(attribute.Value.pbData);
      size_t length = attribute.Value.cbData / sizeof(wchar_t);
      // Some decoders count the terminator they add: that one NUL is theirs, any other is the name's.
      if (length > 0 && text[length - 1] == L'\0') --length;
      names.push_back(win32::FromWide(text, length));
    }
  }
  return names;
}

// The Authenticode policy over the chain the verification built; its error, 0 when it passes.
DWORD AuthenticodePolicyError(PCCERT_CHAIN_CONTEXT chain) {
  CERT_CHAIN_POLICY_PARA policy = {};
  policy.cbSize = sizeof policy;
  CERT_CHAIN_POLICY_STATUS status = {};
  status.cbSize = sizeof status;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, chain, &policy, &status)) {
    return FailureCode();
  }
  return status.dwError;
}

// A chain built afresh for the code-signing usage, with the certificates the signature carries,
// at the time the signature was verified as of; its error status, 0 when it ends at a trusted root.
DWORD CodeSigningChainError(const CRYPT_PROVIDER_DATA& provider, const CRYPT_PROVIDER_SGNR& signer,
                            PCCERT_CONTEXT certificate) {
  StoreHandle signatureStore(
      CertOpenStore(CERT_STORE_PROV_MSG, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, 0, provider.hMsg));
  if (!signatureStore) return FailureCode();
  char codeSigning[] = szOID_PKIX_KP_CODE_SIGNING;
  LPSTR usages[] = {codeSigning};
  CERT_CHAIN_PARA parameters = {};
  parameters.cbSize = sizeof parameters;
  parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
  parameters.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  FILETIME asOf = signer.sftVerifyAsOf;
  PCCERT_CHAIN_CONTEXT built = nullptr;
  if (!CertGetCertificateChain(nullptr, certificate, &asOf, signatureStore.Get(), &parameters,
                               CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL, nullptr, &built)) {
    return FailureCode();
  }
  ChainHandle chain(built);
  return chain.Get()->TrustStatus.dwErrorStatus;
}

SignerCheck Refused(const char16_t* step, uint32_t code, std::vector<std::u16string> commonNames = {}) {
  return {SignerCheck::Outcome::Refused, step, code, std::move(commonNames)};
}

}  // namespace

std::optional<Sha256Digest> FileSha256(const HeldFile& file) {
  Sha256Hash hash;
  std::vector<UCHAR> piece(kReadPiece);
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

SignerCheck CheckAuthenticodeSigner(const HeldFile& file) {
  TrustVerification verification(reinterpret_cast<HANDLE>(file.Native()), file.Path());
  if (verification.Status() != ERROR_SUCCESS)
    return Refused(u"signature", static_cast<uint32_t>(verification.Status()));
  CRYPT_PROVIDER_DATA* provider = verification.ProviderData();
  CRYPT_PROVIDER_SGNR* signer = provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
  CRYPT_PROVIDER_CERT* signerCertificate = signer ? WTHelperGetProvCertFromChain(signer, 0) : nullptr;
  if (!signerCertificate || !signerCertificate->pCert || !signer->pChainContext) {
    return Refused(u"signer certificate", static_cast<uint32_t>(TRUST_E_NO_SIGNER_CERT));
  }
  std::vector<std::u16string> commonNames = CommonNames(signerCertificate->pCert);
  if (const DWORD error = AuthenticodePolicyError(signer->pChainContext)) {
    return Refused(u"chain policy", error, std::move(commonNames));
  }
  if (const DWORD error = CodeSigningChainError(*provider, *signer, signerCertificate->pCert)) {
    return Refused(u"code-signing chain", error, std::move(commonNames));
  }
  return {SignerCheck::Outcome::Trusted, {}, 0, std::move(commonNames)};
}

}  // namespace platform
