#pragma once
// How long a Windows program's file must at least be, by what its first
// bytes say. Its headers name where the header block, every section's data,
// the COFF symbols and the certificate table end; a download that announced
// no length, whose cut connection reads like the end of the data, can be
// told from a whole program only this way.

#include <cstddef>
#include <cstdint>
#include <span>

namespace lumen {

// Enough for the headers of any program a linker makes: they are read from
// this many first bytes at most, never the whole file.
inline constexpr std::size_t kImageHeadBytes = 64 * 1024;

// The least length of a file that starts with `head` (its first bytes, up
// to kImageHeadBytes, or the whole file when it is shorter). 0 when the bytes
// are not the start of a PE image; a head that stops inside the headers
// counts the header bytes still missing, so a file cut within them is short
// of its own length too. Only what the head holds is measured: headers
// beyond it add just their own start.
[[nodiscard]] std::int64_t LeastImageLength(std::span<const std::uint8_t> head) noexcept;

}  // namespace lumen
