#include "tools/stamp/certificate_table.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

#include "tools/stamp/der.hpp"

namespace lumen::stamp {
namespace {

constexpr std::size_t kEntryHeaderSize = 8;
constexpr std::size_t kEntryAlignment = 8;
constexpr std::uint16_t kRevision2 = 0x0200;
constexpr std::uint16_t kPkcsSignedData = 0x0002;

[[nodiscard]] std::uint32_t u16(std::span<const std::uint8_t> bytes, std::size_t offset) noexcept {
  return static_cast<std::uint32_t>(bytes[offset] | bytes[offset + 1] << 8);
}

[[nodiscard]] std::uint32_t u32(std::span<const std::uint8_t> bytes, std::size_t offset) noexcept {
  return u16(bytes, offset) | u16(bytes, offset + 2) << 16;
}

void append_u16(ByteBuffer& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

[[nodiscard]] std::string hex(std::uint32_t value) {
  char text[12];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

[[nodiscard]] Error damaged(const std::string& why) { return Error{"damaged certificate table: " + why}; }

}  // namespace

Result<std::span<const std::uint8_t>> read_certificate_entry(std::span<const std::uint8_t> table) {
  if (table.size() < kEntryHeaderSize) {
    return damaged(std::to_string(table.size()) + " bytes are too few for a certificate entry");
  }
  const std::size_t length = u32(table, 0);
  if (length < kEntryHeaderSize || length > table.size()) {
    return damaged("its entry's length " + std::to_string(length) + " does not fit the table's " +
                   std::to_string(table.size()) + " bytes");
  }
  if (table.size() - length >= kEntryAlignment) {
    return Error{"the certificate table holds more than one entry; stamping one signature of several is not "
                 "supported"};
  }
  const std::uint32_t revision = u16(table, 4);
  const std::uint32_t type = u16(table, 6);
  if (revision != kRevision2 || type != kPkcsSignedData) {
    return Error{"the certificate entry (revision " + hex(revision) + ", type " + hex(type) +
                 ") is not an Authenticode signature (revision 0x200, type 0x2)"};
  }
  const std::span<const std::uint8_t> entry = table.subspan(kEntryHeaderSize);
  const Result<der::Element> signature = der::read_element(entry, 0, length - kEntryHeaderSize);
  if (!signature.ok()) return damaged("the signature does not parse: " + signature.error());
  const std::span<const std::uint8_t> padding = entry.subspan(signature.value().end);
  if (padding.size() >= kEntryAlignment || !std::ranges::all_of(padding, [](std::uint8_t b) { return b == 0; })) {
    return damaged(std::to_string(padding.size()) + " bytes after the signature are not its padding");
  }
  return entry.first(signature.value().end);
}

ByteBuffer certificate_table_of(std::span<const std::uint8_t> der) {
  const std::size_t length = kEntryHeaderSize + der.size();
  ByteBuffer table;
  table.reserve(length);
  append_u16(table, static_cast<std::uint32_t>(length));
  append_u16(table, static_cast<std::uint32_t>(length >> 16));
  append_u16(table, kRevision2);
  append_u16(table, kPkcsSignedData);
  table.insert(table.end(), der.begin(), der.end());
  return table;
}

}  // namespace lumen::stamp
