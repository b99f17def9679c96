#pragma once
// A file whose written bytes also go into a digest, so that the download is
// hashed as it is written instead of being read back afterwards.

#include "http/payload_digest.hpp"
#include "runtime/file.hpp"

namespace lumen {

class DigestingFile final : public File {
 public:
  // Without a digest the file is only passed through.
  DigestingFile(File& file, StreamDigest* digest) noexcept : file_(file), digest_(digest) {}

  [[nodiscard]] std::int64_t size() const override { return file_.size(); }
  [[nodiscard]] std::int64_t position() const override { return file_.position(); }
  [[nodiscard]] bool seek(std::int64_t offset) override { return file_.seek(offset); }
  [[nodiscard]] std::size_t read(std::span<std::uint8_t> into) override { return file_.read(into); }
  [[nodiscard]] bool write(std::span<const std::uint8_t> bytes) override;

 private:
  File& file_;
  StreamDigest* digest_;
};

// Adds the first `length` bytes of the file to the digest, a block at a
// time; false when the file holds fewer.
[[nodiscard]] bool DigestFilePrefix(File& file, std::int64_t length, StreamDigest& digest);

}  // namespace lumen
