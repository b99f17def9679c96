#include "runtime/byte_buffer.hpp"

#include <algorithm>

namespace lumen {
namespace {

[[nodiscard]] std::size_t clamp_count(std::span<const std::uint8_t> bytes, std::int64_t n) noexcept {
  return static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, std::ssize(bytes)));
}

}  // namespace

ByteBuffer buffer_left(std::span<const std::uint8_t> bytes, std::int64_t n) {
  const auto take = bytes.first(clamp_count(bytes, n));
  return {take.begin(), take.end()};
}

ByteBuffer buffer_right(std::span<const std::uint8_t> bytes, std::int64_t n) {
  const auto take = bytes.last(clamp_count(bytes, n));
  return {take.begin(), take.end()};
}

ByteBuffer buffer_mid(std::span<const std::uint8_t> bytes, std::int64_t start, std::int64_t n) {
  const auto offset = static_cast<std::size_t>(std::clamp<std::int64_t>(start, 1, std::ssize(bytes) + 1) - 1);
  return buffer_left(bytes.subspan(offset), n);
}

ByteBuffer zeroed_buffer(std::int64_t n) {
  return ByteBuffer(static_cast<std::size_t>(std::max<std::int64_t>(n, 0)), 0);
}

ByteBuffer to_buffer(std::string_view text) { return {text.begin(), text.end()}; }

ByteBuffer to_buffer(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
          static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

}  // namespace lumen
