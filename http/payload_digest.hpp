#pragma once
// The SHA-256 a download is checked with, computed block by block as the
// bytes are written, so that no file is ever held whole in memory. The
// running installer hashes through the system's cryptographic provider
// (core/win/sha256_digest.hpp); tests bring a digest of their own.

#include <cstdint>
#include <memory>
#include <span>

#include "runtime/text.hpp"

namespace lumen {

class StreamDigest {
 public:
  StreamDigest() = default;
  StreamDigest(const StreamDigest&) = delete;
  StreamDigest& operator=(const StreamDigest&) = delete;
  virtual ~StreamDigest() = default;

  virtual void add(std::span<const std::uint8_t> bytes) = 0;
  // Lower-case hexadecimal digest of everything added; the empty text when
  // any step failed, which matches no published value.
  [[nodiscard]] virtual Text finish_hex() = 0;
};

class DigestMaker {
 public:
  DigestMaker() = default;
  DigestMaker(const DigestMaker&) = delete;
  DigestMaker& operator=(const DigestMaker&) = delete;
  virtual ~DigestMaker() = default;

  // A fresh SHA-256, or nothing when the provider cannot give one.
  [[nodiscard]] virtual std::unique_ptr<StreamDigest> StartSha256() = 0;
};

}  // namespace lumen
