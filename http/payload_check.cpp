#include "http/payload_check.hpp"

#include <algorithm>

#include "runtime/text.hpp"

namespace lumen {
namespace {

[[nodiscard]] bool is_hex_digit(char c) noexcept {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

bool IsSha256Hex(std::string_view text) noexcept {
  return text.size() == 64 && std::ranges::all_of(text, is_hex_digit);
}

bool SameDigest(std::string_view a, std::string_view b) noexcept {
  return !a.empty() && same_text_ignoring_case(a, b);
}

}  // namespace lumen
