#include "core/oem_marker.hpp"

#include "runtime/byte_buffer.hpp"
#include "runtime/convert.hpp"

namespace lumen {
namespace {

// Flips bit 4 of every byte: the id is not stored in plain digits.
[[nodiscard]] ByteBuffer obscured(std::string_view id) {
  ByteBuffer bytes = to_buffer(id);
  for (std::uint8_t& byte : bytes) byte ^= 0x10;
  return bytes;
}

}  // namespace

Text HexByte(std::uint8_t byte) {
  const Text digits = to_hex_text(byte);
  return digits.size() % 2 == 1 ? "0" + digits : digits;
}

Text HexOfBytes(std::span<const std::uint8_t> bytes) {
  Text hex;
  hex.reserve(bytes.size() * 2);
  for (const std::uint8_t byte : bytes) hex += HexByte(byte);
  return hex;
}

Text MakeOemMarker(std::string_view id, std::string_view key, DigestHexFunction digest_hex) {
  const Text digest = digest_hex(to_buffer(key));
  return HexOfBytes(obscured(id)) + to_upper(text_mid(digest, 3, 9));
}

}  // namespace lumen
