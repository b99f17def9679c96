#include "core/win/key_pin.hpp"

#include <vector>

namespace lumen {

std::optional<KeyPin> PublicKeyPin(PCCERT_CONTEXT certificate) {
  if (certificate == nullptr || certificate->pCertInfo == nullptr) return std::nullopt;
  const CERT_PUBLIC_KEY_INFO& key = certificate->pCertInfo->SubjectPublicKeyInfo;
  DWORD size = 0;
  if (!CryptEncodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, &key, 0, nullptr, nullptr, &size)) {
    return std::nullopt;
  }
  std::vector<BYTE> encoded(size);
  if (!CryptEncodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, &key, 0, nullptr, encoded.data(), &size)) {
    return std::nullopt;
  }
  KeyPin pin{};
  DWORD length = pin.size();
  if (!CryptHashCertificate2(L"SHA256", 0, nullptr, encoded.data(), size, pin.data(), &length) ||
      length != pin.size()) {
    return std::nullopt;
  }
  return pin;
}

}  // namespace lumen
