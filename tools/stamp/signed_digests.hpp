#pragma once
// What an Authenticode signature says of the file it signs: its content, an
// SpcIndirectDataContent, holds the file's Authenticode digest and names the
// algorithm it was taken with; each nested signature holds its own. Reading
// them decodes the SignedData with libcrypto's PKCS#7 decoder, so that a
// signature no decoder can read is found here too. Whether the signer's
// certificate is trusted and its signature value is right is left to the
// verifier.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "runtime/byte_buffer.hpp"
#include "tools/stamp/result.hpp"

namespace lumen::stamp {

struct SignedDigest {
  // Which signature holds it, for a message: "the signature", "nested signature 1".
  std::string signature;
  // The digest algorithm by libcrypto's short name: "SHA1", "SHA256".
  std::string algorithm;
  ByteBuffer digest;
};

// The digests of the signature (a DER ContentInfo) and of the signatures
// nested in its signer's unauthenticated attributes, in that order. Refuses
// a signature that does not decode, content other than Authenticode's, and
// a digest algorithm libcrypto does not know.
[[nodiscard]] Result<std::vector<SignedDigest>> read_signed_digests(std::span<const std::uint8_t> der);

}  // namespace lumen::stamp
