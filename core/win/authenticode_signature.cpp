#include "core/win/authenticode_signature.hpp"

#include <softpub.h>

#include <algorithm>

#include "runtime/win/wide_text.hpp"

namespace lumen {
namespace {

// Results that say the digest and the signature value are good: the chain
// ends in a root nobody trusts, or stops short of any root.
[[nodiscard]] bool IsIntactResult(LONG status) {
  return status == ERROR_SUCCESS || status == CERT_E_UNTRUSTEDROOT || status == CERT_E_CHAINING;
}

// Every step before the certificate provider's (the file, the message, the
// digest, the signature) reported no error; the certificate provider's and
// later steps are about the chain.
[[nodiscard]] bool EarlyStepsPassed(const CRYPT_PROVIDER_DATA& provider) {
  constexpr DWORD kFirstChainStep = TRUSTERROR_STEP_FINAL_CERTPROV;
  if (provider.padwTrustStepErrors == nullptr || provider.cdwTrustStepErrors < kFirstChainStep) return false;
  return std::all_of(provider.padwTrustStepErrors, provider.padwTrustStepErrors + kFirstChainStep,
                     [](DWORD error) { return error == ERROR_SUCCESS; });
}

}  // namespace

AuthenticodeSignature::AuthenticodeSignature(HANDLE file, std::string_view path) : path_(win::widen(path)) {
  file_.cbStruct = sizeof file_;
  file_.pcwszFilePath = path_.c_str();
  file_.hFile = file;

  data_.cbStruct = sizeof data_;
  data_.dwUIChoice = WTD_UI_NONE;
  data_.fdwRevocationChecks = WTD_REVOKE_NONE;
  data_.dwUnionChoice = WTD_CHOICE_FILE;
  data_.pFile = &file_;
  data_.dwStateAction = WTD_STATEACTION_VERIFY;
  data_.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;

  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  // INVALID_HANDLE_VALUE as the window: there is no one to ask.
  status_ = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_);
}

AuthenticodeSignature::~AuthenticodeSignature() {
  if (data_.hWVTStateData == nullptr) return;
  data_.dwStateAction = WTD_STATEACTION_CLOSE;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  (void)WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_);
}

CRYPT_PROVIDER_DATA* AuthenticodeSignature::ProviderData() const {
  return data_.hWVTStateData == nullptr ? nullptr : WTHelperProvDataFromStateData(data_.hWVTStateData);
}

bool AuthenticodeSignature::IsIntact() const {
  const CRYPT_PROVIDER_DATA* provider = ProviderData();
  return IsIntactResult(status_) && provider != nullptr && EarlyStepsPassed(*provider);
}

PCCERT_CONTEXT AuthenticodeSignature::PrimarySigner() const {
  CRYPT_PROVIDER_DATA* provider = ProviderData();
  if (provider == nullptr) return nullptr;
  CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
  if (signer == nullptr) return nullptr;
  const CRYPT_PROVIDER_CERT* certificate = WTHelperGetProvCertFromChain(signer, 0);
  return certificate == nullptr ? nullptr : certificate->pCert;
}

std::span<const HCERTSTORE> AuthenticodeSignature::Stores() const {
  const CRYPT_PROVIDER_DATA* provider = ProviderData();
  if (provider == nullptr || provider->pahStores == nullptr) return {};
  return {provider->pahStores, provider->chStores};
}

}  // namespace lumen
