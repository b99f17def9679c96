#pragma once
// Byte buffers: byte sequences that carry their length.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lumen {

using ByteBuffer = std::vector<std::uint8_t>;

[[nodiscard]] ByteBuffer buffer_left(std::span<const std::uint8_t> bytes, std::int64_t n);
[[nodiscard]] ByteBuffer buffer_right(std::span<const std::uint8_t> bytes, std::int64_t n);
// Up to n bytes from 1-based position start (clamped to 1..length+1).
[[nodiscard]] ByteBuffer buffer_mid(std::span<const std::uint8_t> bytes, std::int64_t start, std::int64_t n);
[[nodiscard]] ByteBuffer zeroed_buffer(std::int64_t n);
// The bytes of a text, without a terminating zero.
[[nodiscard]] ByteBuffer to_buffer(std::string_view text);
// Four bytes, little-endian.
[[nodiscard]] ByteBuffer to_buffer(std::int32_t value);

}  // namespace lumen
