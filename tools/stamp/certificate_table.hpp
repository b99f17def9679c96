#pragma once
// A signed executable's certificate table as Authenticode writes it: one
// WIN_CERTIFICATE entry (its length, revision 2.0, type PKCS#7 SignedData)
// holding the signature's DER, which zero bytes pad to a multiple of 8.

#include <cstdint>
#include <span>

#include "runtime/byte_buffer.hpp"
#include "tools/stamp/result.hpp"

namespace lumen::stamp {

// The signature's DER, without the entry's header and padding. Refuses a
// table of anything but one such entry.
[[nodiscard]] Result<std::span<const std::uint8_t>> read_certificate_entry(std::span<const std::uint8_t> table);

// The table of one entry holding `der`, whose size must be a multiple of 8:
// a stamped signature needs no padding.
[[nodiscard]] ByteBuffer certificate_table_of(std::span<const std::uint8_t> der);

}  // namespace lumen::stamp
