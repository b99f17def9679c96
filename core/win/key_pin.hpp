#pragma once
// A signer pinned by its public key: the SHA-256 of its certificate's
// SubjectPublicKeyInfo in DER, the value
//   openssl x509 -in cert.pem -pubkey -noout | openssl pkey -pubin -outform DER | sha256sum
// prints. The key, not the certificate, is pinned, so a renewed certificate
// for the same key still matches.

#include <windows.h>
#include <wincrypt.h>

#include <array>
#include <cstdint>
#include <optional>

namespace lumen {

using KeyPin = std::array<std::uint8_t, 32>;

// The pin of the certificate's key; nothing when it cannot be worked out.
[[nodiscard]] std::optional<KeyPin> PublicKeyPin(PCCERT_CONTEXT certificate);

}  // namespace lumen
