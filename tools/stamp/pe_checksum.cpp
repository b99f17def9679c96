#include "tools/stamp/pe_checksum.hpp"

#include <algorithm>

namespace lumen::stamp {
namespace {

constexpr std::size_t kFieldSize = 4;

[[nodiscard]] std::uint32_t folded(std::uint64_t sum) noexcept {
  while (sum > 0xFFFF) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum);
}

[[nodiscard]] std::uint64_t word_sum(std::span<const std::uint8_t> file) noexcept {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < file.size(); i += 2) {
    const std::uint32_t high = i + 1 < file.size() ? file[i + 1] : 0u;
    sum += file[i] | high << 8;
  }
  return sum;
}

}  // namespace

void update_pe_checksum(std::span<std::uint8_t> file, std::uint64_t checksum_field) noexcept {
  const std::span<std::uint8_t> field = file.subspan(checksum_field, kFieldSize);
  std::ranges::fill(field, 0);
  const std::uint32_t checksum = folded(word_sum(file)) + static_cast<std::uint32_t>(file.size());
  for (std::size_t i = 0; i < kFieldSize; ++i) field[i] = static_cast<std::uint8_t>(checksum >> (8 * i));
}

}  // namespace lumen::stamp
