#pragma once
// The OEM marker: the text of OEM.key, which carries the stamped distributor
// id in encoded form followed by a part derived from a built-in key.

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// The built-in key whose digest forms the marker's second part.
inline constexpr std::string_view kOemKey = "vex";

// Lower-case hexadecimal MD5 digest of the bytes, or the empty text when it
// cannot be computed.
using DigestHexFunction = Text (*)(std::span<const std::uint8_t> bytes);

// Two upper-case hexadecimal digits, with a leading zero below 0x10.
[[nodiscard]] Text HexByte(std::uint8_t byte);
// Two upper-case hexadecimal digits per byte, in order, no separators.
[[nodiscard]] Text HexOfBytes(std::span<const std::uint8_t> bytes);

// Every byte of the id with bit 4 flipped, in hexadecimal, followed by the
// 3rd to the 11th digit of the key's digest in upper case. Without a digest
// the marker is the first part alone.
[[nodiscard]] Text MakeOemMarker(std::string_view id, std::string_view key, DigestHexFunction digest_hex);

}  // namespace lumen
