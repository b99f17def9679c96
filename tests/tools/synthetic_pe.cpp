#include "tests/tools/synthetic_pe.hpp"

#include <algorithm>

namespace lumen::test {
namespace {

constexpr std::uint32_t kFileAlignment = 0x200;

[[nodiscard]] std::uint32_t aligned(std::uint32_t value, std::uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// Grows bytes to size, filling with a byte no stamp contains.
void pad_to(ByteBuffer& bytes, std::size_t size) { bytes.resize(std::max(bytes.size(), size), 0xCC); }

}  // namespace

void put_u16(ByteBuffer& bytes, std::size_t offset, std::uint16_t value) {
  pad_to(bytes, offset + 2);
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put_u32(ByteBuffer& bytes, std::size_t offset, std::uint32_t value) {
  put_u16(bytes, offset, static_cast<std::uint16_t>(value));
  put_u16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

ByteBuffer concat(ByteBuffer bytes, std::string_view tail) {
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

ByteBuffer with_pe_checksum(ByteBuffer file, std::size_t field) {
  put_u32(file, field, 0);
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < file.size(); i += 2) {
    sum += file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  put_u32(file, field, static_cast<std::uint32_t>(sum + file.size()));
  return file;
}

ByteBuffer stamped(const ByteBuffer& built, std::string_view digits) {
  return with_pe_checksum(concat(built, digits));
}

ByteBuffer SyntheticPe::build() const {
  ByteBuffer pe(kSizeOfHeaders, 0);
  pe[0] = 'M';
  pe[1] = 'Z';
  put_u32(pe, 0x3C, kPeHeader);
  put_u32(pe, kPeHeader, 0x00004550);

  put_u16(pe, kCoffHeader, machine);
  put_u16(pe, kCoffHeader + 2, static_cast<std::uint16_t>(sections.size()));
  put_u16(pe, kCoffHeader + 16, optional_size);
  put_u16(pe, kCoffHeader + 18, 0x0103);  // executable, 32-bit, no relocations

  put_u16(pe, kOptionalHeader, magic);
  put_u32(pe, kOptionalHeader + 32, 0x1000);  // section alignment
  put_u32(pe, kOptionalHeader + 36, kFileAlignment);
  put_u32(pe, kOptionalHeader + 60, kSizeOfHeaders);
  put_u32(pe, kOptionalHeader + 92, 16);  // data directories

  std::uint32_t data = kSizeOfHeaders;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const std::size_t entry = section_table() + i * 40;
    std::copy_n(sections[i].name.begin(), std::min<std::size_t>(sections[i].name.size(), 8), pe.begin() + static_cast<std::ptrdiff_t>(entry));
    put_u32(pe, entry + 8, std::max<std::uint32_t>(sections[i].raw_size, 0x10));  // virtual size
    put_u32(pe, entry + 12, 0x1000 * static_cast<std::uint32_t>(i + 1));
    put_u32(pe, entry + 16, sections[i].raw_size);
    put_u32(pe, entry + 20, sections[i].raw_size == 0 ? 0 : data);
    data += aligned(sections[i].raw_size, kFileAlignment);
  }
  pad_to(pe, data);

  if (symbol_count != 0) {
    put_u32(pe, kCoffHeader + 8, static_cast<std::uint32_t>(pe.size()));
    put_u32(pe, kCoffHeader + 12, symbol_count);
    pad_to(pe, pe.size() + 18 * std::size_t{symbol_count});
    const std::size_t strings = pe.size();
    put_u32(pe, strings, string_table_size);
    pad_to(pe, strings + std::max<std::uint32_t>(string_table_size, 4));
  }
  if (!certificate_table.empty()) {
    const auto at = aligned(static_cast<std::uint32_t>(pe.size()), 8);
    put_u32(pe, kCertificateDirectory, at);
    put_u32(pe, kCertificateDirectory + 4, static_cast<std::uint32_t>(certificate_table.size()));
    pad_to(pe, at);
    pe.insert(pe.end(), certificate_table.begin(), certificate_table.end());
  }
  return pe;
}

}  // namespace lumen::test
