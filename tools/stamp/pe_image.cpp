#include "tools/stamp/pe_image.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

#include "runtime/pe_layout.hpp"

namespace lumen::stamp {
namespace {

// The installer is PE32 for i386; its 64-bit build (PE32+ for AMD64, what
// machines without 32-bit Wine test) is stamped the same way.
using namespace pe;

// Little-endian reads that never leave the file: callers check the region
// they read first, and a read outside it gives 0 rather than stray memory.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}

  [[nodiscard]] std::uint64_t size() const noexcept { return bytes_.size(); }
  [[nodiscard]] bool holds(std::uint64_t offset, std::uint64_t length) const noexcept {
    return offset <= size() && length <= size() - offset;
  }
  [[nodiscard]] std::uint16_t u16(std::uint64_t offset) const noexcept {
    return static_cast<std::uint16_t>(byte(offset) | byte(offset + 1) << 8);
  }
  [[nodiscard]] std::uint32_t u32(std::uint64_t offset) const noexcept {
    return static_cast<std::uint32_t>(u16(offset)) | static_cast<std::uint32_t>(u16(offset + 2)) << 16;
  }
  [[nodiscard]] std::span<const std::uint8_t> bytes(std::uint64_t offset, std::uint64_t length) const noexcept {
    return holds(offset, length) ? bytes_.subspan(offset, length) : std::span<const std::uint8_t>();
  }

 private:
  [[nodiscard]] std::uint32_t byte(std::uint64_t offset) const noexcept {
    return offset < size() ? bytes_[offset] : 0u;
  }
  std::span<const std::uint8_t> bytes_;
};

[[nodiscard]] std::string hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

[[nodiscard]] Error not_pe32(const std::string& why) { return Error{"not a PE32 executable: " + why}; }

[[nodiscard]] Error damaged(const std::string& what, std::uint64_t end, std::uint64_t file_size) {
  return Error{"truncated or damaged PE32 executable: " + what + " runs to byte " + std::to_string(end) +
               ", past the end of the file (" + std::to_string(file_size) + " bytes)"};
}

// A section's name for a message: its printable ASCII bytes up to the first zero.
[[nodiscard]] std::string section_name(std::span<const std::uint8_t> raw) {
  std::string name;
  for (const std::uint8_t b : raw) {
    if (b == 0) break;
    name += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '?';
  }
  return name;
}

// The headers every measurement needs, each checked to lie in the file.
struct Headers {
  std::uint64_t coff = 0;
  std::uint64_t optional = 0;
  std::uint64_t optional_size = 0;
  Format format = kPe32;
};

[[nodiscard]] Result<Headers> read_headers(const Reader& file) {
  if (!file.holds(0, kDosHeaderSize)) return not_pe32("too short for an MZ header");
  if (file.u16(0) != kMzSignature) return not_pe32("no MZ signature");
  const std::uint64_t pe = file.u32(kPeOffsetField);
  if (!file.holds(pe, 4)) return not_pe32("its PE header offset " + hex(pe) + " lies outside the file");
  if (file.u32(pe) != kPeSignature) return not_pe32("no PE signature at " + hex(pe));
  Headers headers{.coff = pe + 4};
  if (!file.holds(headers.coff, kCoffHeaderSize)) {
    return damaged("the COFF header", headers.coff + kCoffHeaderSize, file.size());
  }
  const std::uint16_t machine = file.u16(headers.coff);
  if (machine != kPe32.machine && machine != kPe32Plus.machine) {
    return not_pe32("machine " + hex(machine) + " is not i386 (0x14C) or AMD64 (0x8664)");
  }
  headers.format = machine == kPe32.machine ? kPe32 : kPe32Plus;
  headers.optional = headers.coff + kCoffHeaderSize;
  headers.optional_size = file.u16(headers.coff + 16);
  if (!file.holds(headers.optional, std::max<std::uint64_t>(headers.optional_size, 2))) {
    return damaged("the optional header", headers.optional + headers.optional_size, file.size());
  }
  const std::uint16_t magic = file.u16(headers.optional);
  if (magic != headers.format.magic) {
    return not_pe32("optional header magic " + hex(magic) + " does not fit machine " + hex(machine) + " (" +
                    hex(headers.format.magic) + ")");
  }
  if (headers.optional_size < headers.format.directories_start) {
    return not_pe32("its optional header has " + std::to_string(headers.optional_size) + " bytes, fewer than " +
                    std::to_string(headers.format.directories_start) + " needed");
  }
  return headers;
}

// The end of the section table and of every section's raw data.
[[nodiscard]] Result<std::uint64_t> sections_end(const Reader& file, const Headers& headers) {
  const std::uint64_t count = file.u16(headers.coff + 2);
  const std::uint64_t table = headers.optional + headers.optional_size;
  const std::uint64_t table_end = table + count * kSectionHeaderSize;
  if (table_end > file.size()) return damaged("the section table", table_end, file.size());
  std::uint64_t end = table_end;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t entry = table + i * kSectionHeaderSize;
    const std::uint64_t raw_size = file.u32(entry + 16);
    if (raw_size == 0) continue;  // uninitialised data: nothing in the file
    const std::uint64_t raw_end = file.u32(entry + 20) + raw_size;
    if (raw_end > file.size()) {
      return damaged("section " + std::to_string(i + 1) + " (" + section_name(file.bytes(entry, 8)) + ")", raw_end,
                     file.size());
    }
    end = std::max(end, raw_end);
  }
  return end;
}

// The end of the COFF symbol table and the string table right after it, or
// 0 without them. Linkers that keep symbols put them after the last section.
[[nodiscard]] Result<std::uint64_t> symbols_end(const Reader& file, const Headers& headers) {
  const std::uint64_t symbols = file.u32(headers.coff + 8);
  if (symbols == 0) return std::uint64_t{0};
  const std::uint64_t strings = symbols + file.u32(headers.coff + 12) * kSymbolSize;
  if (!file.holds(strings, kStringTableSizeField)) {
    return damaged("the COFF symbol table", strings + kStringTableSizeField, file.size());
  }
  // The size counts its own four bytes; some linkers write 0 for an empty table.
  const std::uint64_t strings_end = strings + std::max<std::uint64_t>(file.u32(strings), kStringTableSizeField);
  if (strings_end > file.size()) return damaged("the COFF string table", strings_end, file.size());
  return strings_end;
}

// The certificate table (the signature), if the file lists one.
[[nodiscard]] Result<std::optional<CertificateTable>> certificate_table(const Reader& file, const Headers& headers) {
  const std::uint64_t entry = headers.format.directories_start + kCertificateDirectory * kDirectorySize;
  const bool listed = file.u32(headers.optional + headers.format.directory_count_field) > kCertificateDirectory &&
                      headers.optional_size >= entry + kDirectorySize;
  if (!listed) return std::optional<CertificateTable>();
  const CertificateTable table{.offset = file.u32(headers.optional + entry),
                               .size = file.u32(headers.optional + entry + 4),
                               .size_field = headers.optional + entry + 4};
  if (table.size == 0) return std::optional<CertificateTable>();
  if (table.end() > file.size()) return damaged("the certificate table", table.end(), file.size());
  return std::optional<CertificateTable>(table);
}

}  // namespace

Result<Pe32Layout> read_pe32_layout(std::span<const std::uint8_t> bytes) {
  const Reader file(bytes);
  const Result<Headers> headers = read_headers(file);
  if (!headers.ok()) return Error{headers.error()};
  const std::uint64_t size_of_headers = file.u32(headers.value().optional + kSizeOfHeadersField);
  if (size_of_headers > file.size()) return damaged("the header block", size_of_headers, file.size());

  Pe32Layout layout{.image_end = size_of_headers,
                    .certificate_table = std::nullopt,
                    .checksum_field = headers.value().optional + kChecksumField};
  for (const auto measure : {sections_end, symbols_end}) {
    const Result<std::uint64_t> part_end = measure(file, headers.value());
    if (!part_end.ok()) return Error{part_end.error()};
    layout.image_end = std::max(layout.image_end, part_end.value());
  }
  Result<std::optional<CertificateTable>> table = certificate_table(file, headers.value());
  if (!table.ok()) return Error{table.error()};
  layout.certificate_table = std::move(table).value();
  return layout;
}

}  // namespace lumen::stamp
