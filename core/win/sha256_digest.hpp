#pragma once
// SHA-256 through the system's cryptographic provider (the AES provider
// type, the first to offer it), fed block by block.

#include "http/payload_digest.hpp"

namespace lumen {

class CryptoSha256Maker final : public DigestMaker {
 public:
  [[nodiscard]] std::unique_ptr<StreamDigest> StartSha256() override;
};

}  // namespace lumen
