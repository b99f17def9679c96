#include "core/win/pinned_signer.hpp"

#include "core/win/authenticode_signature.hpp"
#include "core/win/code_signing_chain.hpp"
#include "core/win/held_file.hpp"

namespace lumen {
namespace {

[[nodiscard]] bool IsSignedWithPinnedKey(HANDLE file, std::string_view path, const KeyPin& pin) {
  const AuthenticodeSignature signature(file, path);
  if (!signature.IsIntact()) return false;
  const PCCERT_CONTEXT signer = signature.PrimarySigner();
  return PublicKeyPin(signer) == pin && MaySignCodeNow(signer, signature.Stores());
}

}  // namespace

std::unique_ptr<HeldFile> PinnedSignerGate::Admit(std::string_view path) {
  std::unique_ptr<ReadOnlyHold> held = ReadOnlyHold::Open(path);
  if (!held || !IsSignedWithPinnedKey(held->handle(), path, pin_)) return nullptr;
  return held;
}

std::unique_ptr<PlacementGate> PlacementGateFor(const std::optional<KeyPin>& pin) {
  if (!pin) return nullptr;
  return std::make_unique<PinnedSignerGate>(*pin);
}

}  // namespace lumen
