#pragma once
// Authenticode signatures built byte by byte, with a DER writer of their own
// rather than the tool's: a PKCS#7 ContentInfo holding a SignedData laid out
// as signing tools lay it out, with made-up certificate and signature bytes
// (nothing here verifies), and the certificate table that carries one.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "runtime/byte_buffer.hpp"

namespace lumen::test {

[[nodiscard]] ByteBuffer der_element(std::uint8_t tag, const ByteBuffer& content);
[[nodiscard]] ByteBuffer joined(std::initializer_list<ByteBuffer> parts);

// An attribute: its type (an OID's content bytes) and a SET of these values.
[[nodiscard]] ByteBuffer attribute(const ByteBuffer& type, const ByteBuffer& values);
// The agent id attribute as the README documents it.
[[nodiscard]] ByteBuffer id_attribute(std::string_view digits, std::size_t filler);
// An attribute of the type nested signatures have, holding `size` bytes.
[[nodiscard]] ByteBuffer nested_signature_attribute(std::size_t size);

struct SyntheticSignature {
  std::size_t certificate_size = 600;
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

}  // namespace lumen::test
