#pragma once
// What the service publishes about a version's file, and what a partial
// download is a part of.

#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

struct PayloadCheck {
  Text version;                       // the version the file belongs to
  std::optional<std::int64_t> size;   // bytes, when published
  Text sha256;                        // 64 hexadecimal digits, or empty: none published
};

// Exactly 64 hexadecimal digits, either case.
[[nodiscard]] bool IsSha256Hex(std::string_view text) noexcept;

// Whether two hexadecimal digests name the same bytes (case aside).
[[nodiscard]] bool SameDigest(std::string_view a, std::string_view b) noexcept;

}  // namespace lumen
