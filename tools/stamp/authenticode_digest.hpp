#pragma once
// The Authenticode digest of a signed PE file, as signing tools take it:
// every byte before the certificate table but the checksum field and the
// certificate directory entry, which signing changes, in file order.

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/byte_buffer.hpp"
#include "tools/stamp/pe_image.hpp"
#include "tools/stamp/result.hpp"

namespace lumen::stamp {

// The digest with the algorithm of this libcrypto short name ("SHA256"),
// for a file whose table follows its headers.
[[nodiscard]] Result<ByteBuffer> authenticode_digest(std::span<const std::uint8_t> file, const CertificateTable& table,
                                                     std::uint64_t checksum_field, std::string_view algorithm);

}  // namespace lumen::stamp
