#pragma once
// A strict DER check of a whole signature, with a reader of its own rather
// than the tool's: what a lenient parser lets through and a strict one need
// not. Besides the rules every element follows (definite lengths in their
// shortest form, primitive strings, shortest integers, booleans and bit
// strings as DER writes them), it knows where a PKCS#7 SignedData keeps its
// SET OFs that carry no SET tag (certificates, CRLs, a signer's
// authenticated and unauthenticated attributes), in the signature and in any
// signature nested anywhere inside it, and checks that every SET OF holds its
// elements in DER order.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace lumen::test {

// The first rule the encoding breaks, with the byte it breaks it at, or
// nothing for strict DER.
[[nodiscard]] std::optional<std::string> strict_der_fault(std::span<const std::uint8_t> der);

}  // namespace lumen::test
