#pragma once
// Message digests through the system's cryptographic provider.

#include <windows.h>
#include <wincrypt.h>

#include <cstdint>
#include <span>

#include "runtime/text.hpp"

namespace lumen {

// Two upper-case hexadecimal digits per byte.
[[nodiscard]] Text UpperHex(std::span<const std::uint8_t> bytes);

// Upper-case hexadecimal digest of the bytes with the given algorithm
// (CALG_MD5 with a length of 16), or the empty text when any step fails.
[[nodiscard]] Text HashBytes(std::span<const std::uint8_t> bytes, ALG_ID algorithm, DWORD length);

// Lower-case hexadecimal MD5 of the bytes, or the empty text on failure.
[[nodiscard]] Text DigestHex(std::span<const std::uint8_t> bytes);

}  // namespace lumen
