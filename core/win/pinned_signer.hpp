#pragma once
// The gate that places only programs the vendor signed: an intact
// Authenticode signature whose primary signer's key is the pinned one, in a
// certificate valid now for code signing.

#include <memory>
#include <optional>
#include <string_view>

#include "core/win/key_pin.hpp"
#include "http/placement_gate.hpp"

namespace lumen {

class PinnedSignerGate final : public PlacementGate {
 public:
  explicit PinnedSignerGate(const KeyPin& pin) noexcept : pin_(pin) {}

  [[nodiscard]] std::unique_ptr<HeldFile> Admit(std::string_view path) override;

 private:
  KeyPin pin_;
};

// The gate for a pinned signer (the installer's is BuiltInPayloadSigner());
// nothing without one, and then programs are placed as they come.
[[nodiscard]] std::unique_ptr<PlacementGate> PlacementGateFor(const std::optional<KeyPin>& pin);

}  // namespace lumen
