#pragma once
// The distributor's id: eight ASCII digits appended to the installer's file.

#include "core/program_state.hpp"
#include "runtime/byte_buffer.hpp"
#include "runtime/text.hpp"

namespace lumen {

inline constexpr std::int64_t kStampLength = 8;

// The stamp text of a file's content: its last eight bytes (all of them when
// the file is shorter), cut at a zero byte.
[[nodiscard]] Text StampFromFileContent(std::span<const std::uint8_t> content);

}  // namespace lumen
