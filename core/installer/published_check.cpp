#include "core/installer/published_check.hpp"

#include <cmath>
#include <cstdint>

namespace lumen::install {
namespace {

// The published size as a byte count: a whole, non-negative number that a
// double holds exactly.
[[nodiscard]] std::optional<std::int64_t> byte_count(std::optional<double> size) {
  constexpr double kLargestExact = 9007199254740992.0;  // 2^53
  if (!size || !(*size >= 0 && *size <= kLargestExact) || *size != std::floor(*size)) return std::nullopt;
  return static_cast<std::int64_t>(*size);
}

}  // namespace

std::optional<PayloadCheck> PublishedCheck(const DownVersionInfo& version) {
  if (version.sha256.empty()) return PayloadCheck{version.version, std::nullopt, {}};
  if (!IsSha256Hex(version.sha256)) return std::nullopt;
  return PayloadCheck{version.version, byte_count(version.size), version.sha256};
}

}  // namespace lumen::install
