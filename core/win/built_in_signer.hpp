#pragma once
// The vendor's code-signing key this build pins the installed program to,
// fixed at build time (PAYLOAD_SIGNER_SHA256).

#include <optional>

#include "core/win/key_pin.hpp"

namespace lumen {

// Nothing when the build pins no signer. Defined by a generated source.
[[nodiscard]] std::optional<KeyPin> BuiltInPayloadSigner();

}  // namespace lumen
