#include "http/pe_extent.hpp"

#include <algorithm>
#include <iterator>

#include "runtime/pe_layout.hpp"

namespace lumen {
namespace {

using namespace pe;

constexpr std::uint64_t kSignatureAndCoffHeader = 4 + kCoffHeaderSize;

// Little-endian fields of the head; the caller checks a field lies in it.
class Head {
 public:
  explicit Head(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}

  [[nodiscard]] bool holds(std::uint64_t end) const noexcept { return end <= bytes_.size(); }
  [[nodiscard]] std::uint64_t u16(std::uint64_t at) const noexcept {
    return static_cast<std::uint64_t>(bytes_[at]) | static_cast<std::uint64_t>(bytes_[at + 1]) << 8;
  }
  [[nodiscard]] std::uint64_t u32(std::uint64_t at) const noexcept { return u16(at) | u16(at + 2) << 16; }

 private:
  std::span<const std::uint8_t> bytes_;
};

// The header block's own length and the certificate table's end, from an
// optional header of a known kind (0 for what it does not hold).
[[nodiscard]] std::uint64_t optional_header_extent(const Head& head, std::uint64_t optional, std::uint64_t size) {
  if (size < 2) return 0;
  const std::uint16_t magic = static_cast<std::uint16_t>(head.u16(optional));
  constexpr Format kFormats[] = {kPe32, kPe32Plus};
  const auto place = std::ranges::find(kFormats, magic, &Format::magic);
  if (place == std::end(kFormats)) return 0;
  std::uint64_t end = size >= kSizeOfHeadersField + 4 ? head.u32(optional + kSizeOfHeadersField) : 0;
  const std::uint64_t entry = place->directories_start + kCertificateDirectory * kDirectorySize;
  const bool listed = size >= entry + 8 && head.u32(optional + place->directory_count_field) > kCertificateDirectory;
  if (listed && head.u32(optional + entry + 4) != 0) {
    end = std::max(end, head.u32(optional + entry) + head.u32(optional + entry + 4));
  }
  return end;
}

[[nodiscard]] std::uint64_t sections_extent(const Head& head, std::uint64_t table, std::uint64_t count) {
  std::uint64_t end = 0;
  for (std::uint64_t entry = table; entry < table + count * kSectionHeaderSize; entry += kSectionHeaderSize) {
    const std::uint64_t raw_size = head.u32(entry + 16);
    if (raw_size != 0) end = std::max(end, head.u32(entry + 20) + raw_size);  // 0: data only in memory
  }
  return end;
}

// Linkers that keep symbols put them after the last section, and the
// string table's size field right after them.
[[nodiscard]] std::uint64_t symbols_extent(const Head& head, std::uint64_t coff) {
  const std::uint64_t symbols = head.u32(coff + 8);
  if (symbols == 0) return 0;
  return symbols + head.u32(coff + 12) * kSymbolSize + kStringTableSizeField;
}

[[nodiscard]] std::uint64_t least_length(const Head& head) {
  const std::uint64_t pe = head.u32(kPeOffsetField);
  if (!head.holds(pe + kSignatureAndCoffHeader)) return pe + kSignatureAndCoffHeader;
  if (head.u32(pe) != kPeSignature) return kDosHeaderSize;  // an MS-DOS program: nothing more to measure
  const std::uint64_t coff = pe + 4;
  const std::uint64_t optional = coff + kCoffHeaderSize;
  const std::uint64_t optional_size = head.u16(coff + 16);
  const std::uint64_t table = optional + optional_size;
  const std::uint64_t table_end = table + head.u16(coff + 2) * kSectionHeaderSize;
  if (!head.holds(table_end)) return table_end;
  return std::max({table_end, optional_header_extent(head, optional, optional_size),
                   sections_extent(head, table, head.u16(coff + 2)), symbols_extent(head, coff)});
}

}  // namespace

std::int64_t LeastImageLength(std::span<const std::uint8_t> bytes) noexcept {
  // The file starts as a program's does ("MZ"), or stops before it could.
  constexpr std::uint8_t kMz[] = {'M', 'Z'};
  const std::size_t seen = std::min<std::size_t>(bytes.size(), 2);
  if (!std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(seen), kMz)) return 0;
  const Head head(bytes);
  if (!head.holds(kDosHeaderSize)) return kDosHeaderSize;
  return static_cast<std::int64_t>(least_length(head));
}

}  // namespace lumen
