#include "http/payload_check.hpp"

#include <algorithm>

namespace lumen {
namespace {

[[nodiscard]] bool is_hex_digit(char c) noexcept {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

[[nodiscard]] char lower_ascii(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsSha256Hex(std::string_view text) noexcept {
  return text.size() == 64 && std::ranges::all_of(text, is_hex_digit);
}

bool SameDigest(std::string_view a, std::string_view b) noexcept {
  return !a.empty() && std::ranges::equal(a, b, [](char x, char y) { return lower_ascii(x) == lower_ascii(y); });
}

}  // namespace lumen
