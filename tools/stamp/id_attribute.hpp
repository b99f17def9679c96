#pragma once
// The attribute that carries the agent id inside a signature, as an
// unauthenticated attribute of its signer:
//
//   SEQUENCE {
//     OBJECT IDENTIFIER 1.2.840.113556.1.8000.2554.64000.37990.53315.19323.37380.13937357.5866014.1
//     SET { OCTET STRING { filler: 0 or more zero bytes, then the 8 digits } }
//   }
//
// The type is the project's own: the first attribute under the OID of the
// project's GUID fa009466-d043-4b7b-9204-d4aacd59821e in the arc Microsoft
// keeps for GUID-based OIDs (1.2.840.113556.1.8000.2554, the GUID in seven
// parts of 16 and 24 bits), which needs no registration. Every arc fits in
// 24 bits, so that every ASN.1 decoder reads it; the 128-bit arc of a UUID
// OID under 2.25 is one that many decoders misread. The filler sizes the
// whole signature to a multiple of 8 bytes, so that it needs no padding and
// its last bytes, the digits, are the last bytes of the file.
//
// DER orders the attributes of a SET OF by their encodings. All are
// SEQUENCEs, so the order goes by their lengths first: the filler also makes
// the id attribute's content longer than any other attribute's beside it, so
// that it sorts last and the signature stays strict DER.

#include <cstdint>
#include <span>

#include "runtime/byte_buffer.hpp"
#include "tools/stamp/agent_id.hpp"
#include "tools/stamp/der.hpp"
#include "tools/stamp/result.hpp"

namespace lumen::stamp {

// Whether an attribute type (the OBJECT IDENTIFIER element) is the id attribute's.
[[nodiscard]] bool is_id_attribute_type(std::span<const std::uint8_t> der, const der::Element& type);

// The stamp in an id attribute's values (its SET element); refuses values
// laid out otherwise, which something other than this tool wrote.
[[nodiscard]] Result<Stamp> read_id_attribute_values(std::span<const std::uint8_t> der, const der::Element& values);

// The least filler that makes the attribute's content longer than
// `content_size` bytes, the content of the longest attribute beside it.
[[nodiscard]] std::size_t least_filler_sorting_after(std::size_t content_size) noexcept;
[[nodiscard]] std::size_t id_attribute_size(std::size_t filler) noexcept;
void append_id_attribute(ByteBuffer& out, const Stamp& stamp, std::size_t filler);

}  // namespace lumen::stamp
