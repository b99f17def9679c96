#pragma once
// Measures a Windows executable in its file: the installer (PE32 for i386),
// or its 64-bit test build (PE32+ for AMD64).

#include <cstdint>
#include <optional>
#include <span>

#include "tools/stamp/result.hpp"

namespace lumen::stamp {

// The certificate table (the signature) as the security data directory
// gives it: a file offset and a size.
struct CertificateTable {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  // Where the directory's size field lies in the file.
  std::uint64_t size_field = 0;

  [[nodiscard]] std::uint64_t end() const noexcept { return offset + size; }
  // Where the directory entry lies: the offset field, then the size field.
  [[nodiscard]] std::uint64_t directory_entry() const noexcept { return size_field - 4; }
};

struct Pe32Layout {
  // Where the executable's own bytes end, its certificate table aside: the
  // furthest of its headers, its sections' raw data and its COFF symbol and
  // string tables.
  std::uint64_t image_end = 0;
  std::optional<CertificateTable> certificate_table;
  // Where the optional header's checksum field lies in the file.
  std::uint64_t checksum_field = 0;
};

// Refuses files that are not PE32 for i386 or PE32+ for AMD64, and files whose headers point
// past their end.
[[nodiscard]] Result<Pe32Layout> read_pe32_layout(std::span<const std::uint8_t> file);

}  // namespace lumen::stamp
