#pragma once
// The checksum in a PE file's optional header, as Windows' image helper
// computes it: the file's 16-bit little-endian words summed with the carries
// folded back in, the checksum field counting as zero, plus the file's size.

#include <cstdint>
#include <span>

namespace lumen::stamp {

// Writes the file's checksum into its checksum field, which lies at that
// offset in the file.
void update_pe_checksum(std::span<std::uint8_t> file, std::uint64_t checksum_field) noexcept;

}  // namespace lumen::stamp
