#pragma once
// A plain SHA-256 for the native tests, in place of the system's provider:
// it checks the downloader's streamed hashing against digests computed here
// from the whole file.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "http/payload_digest.hpp"

namespace lumen::test {

class Sha256 final : public StreamDigest {
 public:
  void add(std::span<const std::uint8_t> bytes) override;
  [[nodiscard]] Text finish_hex() override;

 private:
  void compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::array<std::uint8_t, 64> pending_{};
  std::size_t pending_size_ = 0;
  std::uint64_t total_ = 0;
};

// The digest of the whole bytes at once.
[[nodiscard]] std::string sha256_hex(std::span<const std::uint8_t> bytes);

// Hands out test digests and counts the bytes they were given, so that a
// test sees how often the file was hashed.
class Sha256Maker final : public DigestMaker {
 public:
  [[nodiscard]] std::unique_ptr<StreamDigest> StartSha256() override;
  int started = 0;
  bool unavailable = false;
};

}  // namespace lumen::test
