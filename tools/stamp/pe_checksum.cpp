#include "tools/stamp/pe_checksum.hpp"

#include "tools/stamp/little_endian.hpp"

namespace lumen::stamp {

std::uint64_t checksum_sum(std::span<const std::uint8_t> bytes, std::uint64_t position) noexcept {
  std::uint64_t sum = 0;
  std::size_t i = 0;
  if (position % 2 == 1 && !bytes.empty()) sum += std::uint64_t{bytes[i++]} << 8;
  // Whole words alone in the loop, so that the compiler can vectorise it.
  const std::size_t whole_words_end = i + (bytes.size() - i) / 2 * 2;
  for (; i < whole_words_end; i += 2) sum += bytes[i] | bytes[i + 1] << 8;
  if (i < bytes.size()) sum += bytes[i];
  return sum;
}

std::uint64_t checksum_sum_without_field(std::span<const std::uint8_t> bytes, std::uint64_t checksum_field) noexcept {
  return checksum_sum(bytes, 0) - checksum_sum(bytes.subspan(checksum_field, kU32Size), checksum_field);
}

std::uint32_t pe_checksum(std::uint64_t sum, std::uint64_t file_size) noexcept {
  while (sum > 0xFFFF) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + file_size);
}

void put_pe_checksum(ByteBuffer& file, std::uint64_t checksum_field, std::uint64_t sum) {
  put_u32(file, checksum_field, pe_checksum(sum, file.size()));
}

}  // namespace lumen::stamp
