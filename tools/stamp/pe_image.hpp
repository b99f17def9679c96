#pragma once
// Measures a 32-bit x86 Windows executable (PE32) in its file.

#include <cstdint>
#include <span>

#include "tools/stamp/result.hpp"

namespace lumen::stamp {

// Where the executable's own bytes end: the furthest of its headers, its
// sections' raw data, its COFF symbol and string tables and its certificate
// table. Whatever lies beyond was appended to the built file. Refuses files
// that are not PE32 for i386, and files whose headers point past their end.
[[nodiscard]] Result<std::uint64_t> pe32_image_end(std::span<const std::uint8_t> file);

}  // namespace lumen::stamp
