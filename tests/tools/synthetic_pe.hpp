#pragma once
// Small PE32 files built byte by byte, laid out as a linker lays out an
// installer: headers, section data, then optionally a COFF symbol table with
// its string table and a certificate table.

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/byte_buffer.hpp"

namespace lumen::test {

struct SyntheticPe {
  struct Section {
    std::string name;
    std::uint32_t raw_size = 0;  // 0: no data in the file, like .bss
  };

  // Offsets of the headers this builder writes, for tests that damage them.
  static constexpr std::uint32_t kPeHeader = 0x80;
  static constexpr std::uint32_t kCoffHeader = kPeHeader + 4;
  static constexpr std::uint32_t kOptionalHeader = kCoffHeader + 20;
  static constexpr std::uint32_t kSizeOfHeaders = 0x400;
  static constexpr std::uint32_t kChecksum = kOptionalHeader + 64;
  // The security data directory: the certificate table's offset, then its size.
  static constexpr std::uint32_t kCertificateDirectory = kOptionalHeader + 96 + 4 * 8;

  std::uint16_t machine = 0x14C;
  std::uint16_t magic = 0x10B;
  std::uint16_t optional_size = 224;
  std::vector<Section> sections = {{".text", 0x600}, {".data", 0x200}, {".bss", 0}};
  // With a symbol count, the symbols and a string table of this size (its
  // size field included) follow the sections.
  std::uint32_t symbol_count = 0;
  std::uint32_t string_table_size = 4;
  // With bytes, a certificate table of these bytes ends the file.
  ByteBuffer certificate_table = {};

  [[nodiscard]] ByteBuffer build() const;
  [[nodiscard]] std::uint32_t section_table() const { return kOptionalHeader + optional_size; }
};

void put_u16(ByteBuffer& bytes, std::size_t offset, std::uint16_t value);
void put_u32(ByteBuffer& bytes, std::size_t offset, std::uint32_t value);
[[nodiscard]] ByteBuffer concat(ByteBuffer bytes, std::string_view tail);
// The file with the PE checksum of its bytes written into its checksum
// field, summed here word by word as Windows' image helper describes it.
[[nodiscard]] ByteBuffer with_pe_checksum(ByteBuffer file, std::size_t field = SyntheticPe::kChecksum);
// An unsigned build stamped as the tool stamps it: the digits appended and
// the checksum computed anew.
[[nodiscard]] ByteBuffer stamped(const ByteBuffer& built, std::string_view digits);

}  // namespace lumen::test
