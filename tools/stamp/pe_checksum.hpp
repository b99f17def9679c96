#pragma once
// The checksum in a PE file's optional header, as Windows' image helper
// computes it: the file's 16-bit little-endian words summed, the checksum
// field counting as zero, the carries folded back in, plus the file's size.
// The sum is linear in the bytes, so that parts of a file can be summed
// apart: a batch of copies that differ only near their end sums the part
// they share once.

#include <cstdint>
#include <span>

#include "runtime/byte_buffer.hpp"

namespace lumen::stamp {

// The words' sum over bytes that lie at `position` in the file: each byte
// counts as the low or the high byte of its word.
[[nodiscard]] std::uint64_t checksum_sum(std::span<const std::uint8_t> bytes, std::uint64_t position) noexcept;

// The words' sum over bytes that start a file, its checksum field (which
// must lie among them) counted as zero.
[[nodiscard]] std::uint64_t checksum_sum_without_field(std::span<const std::uint8_t> bytes,
                                                       std::uint64_t checksum_field) noexcept;

// The checksum of a file of `file_size` bytes whose words sum to `sum`,
// its checksum field counted as zero.
[[nodiscard]] std::uint32_t pe_checksum(std::uint64_t sum, std::uint64_t file_size) noexcept;

// Writes the checksum of the whole file, whose words sum to `sum` with the
// checksum field counted as zero, into that field.
void put_pe_checksum(ByteBuffer& file, std::uint64_t checksum_field, std::uint64_t sum);

}  // namespace lumen::stamp
