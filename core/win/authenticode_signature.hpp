#pragma once
// The Authenticode signature of an open file as the platform verifies it:
// whether its digest and signature value hold, and the certificate of the
// primary signer. No window is shown and nothing is fetched.

#include <windows.h>
// After windows.h, whose types they use.
#include <wincrypt.h>
#include <wintrust.h>

#include <span>
#include <string>
#include <string_view>

namespace lumen {

// Verifies on construction and keeps the platform's verification state open
// until destroyed: the signer's certificate and the signature's stores
// belong to that state.
class AuthenticodeSignature {
 public:
  // Reads the file through `file`; `path` only names it to the platform.
  AuthenticodeSignature(HANDLE file, std::string_view path);
  AuthenticodeSignature(const AuthenticodeSignature&) = delete;
  AuthenticodeSignature& operator=(const AuthenticodeSignature&) = delete;
  ~AuthenticodeSignature();

  // The file carries a signature whose digest matches its bytes and whose
  // value the signer's key verifies. Its chain may end in a root nobody
  // trusts or stop short of a root: who signed is for the caller to judge.
  [[nodiscard]] bool IsIntact() const;

  // The certificate whose key verified the primary signature (never one of
  // a nested signature); null when there is none.
  [[nodiscard]] PCCERT_CONTEXT PrimarySigner() const;

  // The stores the signature's certificates were found in.
  [[nodiscard]] std::span<const HCERTSTORE> Stores() const;

 private:
  [[nodiscard]] CRYPT_PROVIDER_DATA* ProviderData() const;

  std::wstring path_;
  WINTRUST_FILE_INFO file_{};
  WINTRUST_DATA data_{};
  LONG status_ = TRUST_E_NOSIGNATURE;
};

}  // namespace lumen
