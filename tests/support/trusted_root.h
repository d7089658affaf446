// Trusting a test CA in the Wine prefix: the certificate goes into the current user's "Root"
// store, where the system looks for trusted roots. The system reads that store once per process,
// so a process trusts its CA before its first certificate check.
#pragma once

#ifdef _WIN32
#include <windows.h>
// wincrypt.h needs the declarations of windows.h first.
#include <wincrypt.h>

#include <fstream>
#include <sstream>
#include <string>

// `pemPath` as the Windows side names it (for example "Z:/tmp/ca.pem").
inline bool TrustRootCertificate(const std::string& pemPath) {
  std::ifstream file(pemPath, std::ios::binary);
  std::stringstream pem;
  pem << file.rdbuf();
  const std::string text = pem.str();
  DWORD size = 0;
  if (!CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) {
    return false;
  }
  std::string der(size, '\0');
  if (!CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64HEADER, reinterpret_cast<BYTE*>(der.data()),
                            &size, nullptr, nullptr)) {
    return false;
  }
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
  if (store == nullptr) return false;
  const BOOL added =
      CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                       size, CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  CertCloseStore(store, 0);
  return added != FALSE;
}
#endif
