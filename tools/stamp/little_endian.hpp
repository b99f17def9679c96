#pragma once
// Little-endian fields in a file held whole, as PE headers keep them.

#include <cstdint>

#include "runtime/byte_buffer.hpp"

namespace lumen::stamp {

inline constexpr std::uint64_t kU32Size = 4;

// Writes `value` into the four bytes at `offset`, which must lie in `bytes`.
inline void put_u32(ByteBuffer& bytes, std::uint64_t offset, std::uint64_t value) {
  for (std::uint64_t i = 0; i < kU32Size; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace lumen::stamp
