#pragma once
// Authenticode signatures built byte by byte, with a DER writer of their own
// rather than the tool's: a PKCS#7 ContentInfo holding a SignedData laid out
// as signing tools lay it out, with made-up certificate and signature bytes
// (nothing here verifies), and the certificate table that carries one; and
// synthetic PE files signed with them, whose signed digest is the file's.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "runtime/byte_buffer.hpp"
#include "tests/tools/synthetic_pe.hpp"

namespace lumen::test {

[[nodiscard]] ByteBuffer der_element(std::uint8_t tag, const ByteBuffer& content);
[[nodiscard]] ByteBuffer joined(std::initializer_list<ByteBuffer> parts);

// An attribute: its type (an OID's content bytes) and a SET of these values.
[[nodiscard]] ByteBuffer attribute(const ByteBuffer& type, const ByteBuffer& values);
// The agent id attribute as the README documents it.
[[nodiscard]] ByteBuffer id_attribute(std::string_view digits, std::size_t filler);
// An attribute of the type nested signatures have, holding `size` bytes.
[[nodiscard]] ByteBuffer nested_signature_attribute(std::size_t size);

// Digest algorithms' OIDs, in their DER content bytes.
extern const ByteBuffer kSha1;
extern const ByteBuffer kSha256;

struct SyntheticSignature {
  // A made-up certificate of this many bytes, which no decoder reads; 0 for none.
  std::size_t certificate_size = 600;
  // What the SpcIndirectDataContent says of the signed file.
  ByteBuffer digest_algorithm = kSha256;
  ByteBuffer file_digest = ByteBuffer(32, 0x1D);
  std::size_t signature_value_size = 256;
  std::size_t signer_count = 1;
  // The last signer info's unauthenticated attributes, whole; with none, it
  // ends in its signature value like the others.
  std::vector<ByteBuffer> unauthenticated = {};

  [[nodiscard]] ByteBuffer build() const;
};

// A certificate table of one Authenticode entry holding `der`, zero-padded
// to a multiple of 8 bytes as signing tools pad it.
[[nodiscard]] ByteBuffer certificate_entry(const ByteBuffer& der);

// The Authenticode digest of a synthetic PE file that ends in its
// certificate table: the bytes before the table but the checksum and the
// certificate directory entry, hashed with SHA-1 or SHA-256 (by OID).
[[nodiscard]] ByteBuffer authenticode_digest(const ByteBuffer& file, const ByteBuffer& algorithm);

// `pe` signed with `signature`, as a signing tool leaves it: the signature's
// file digest made the file's Authenticode digest (unless its algorithm is
// neither SHA-1 nor SHA-256) and the certificate table ending the file.
[[nodiscard]] ByteBuffer signed_pe(SyntheticPe pe, SyntheticSignature signature);

}  // namespace lumen::test
