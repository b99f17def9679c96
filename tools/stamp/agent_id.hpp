#pragma once
// A distributor's stamp: exactly eight ASCII digits, the agent id as the
// installer reads it from the end of its own file.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "tools/stamp/result.hpp"

namespace lumen::stamp {

inline constexpr std::size_t kStampSize = 8;

class Stamp {
 public:
  // The stamp of an id given by a person: refuses anything but eight ASCII
  // digits, and the all-zero id, which the installer takes for no id at all.
  [[nodiscard]] static Result<Stamp> from_agent_id(std::string_view text);
  // The stamp those eight bytes form, if they are all digits (zeros included:
  // a file may carry one written by other means).
  [[nodiscard]] static std::optional<Stamp> from_bytes(std::span<const std::uint8_t> bytes);

  [[nodiscard]] std::string_view digits() const noexcept { return {digits_.data(), digits_.size()}; }
  [[nodiscard]] std::span<const std::uint8_t> bytes() const noexcept {
    return {reinterpret_cast<const std::uint8_t*>(digits_.data()), digits_.size()};
  }

  friend bool operator==(const Stamp&, const Stamp&) = default;

 private:
  explicit Stamp(std::string_view digits) noexcept;
  std::array<char, kStampSize> digits_{};
};

}  // namespace lumen::stamp
