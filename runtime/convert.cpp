#include "runtime/convert.hpp"

#include <cmath>
#include <cstdio>
#include <limits>

namespace lumen {
namespace {

template <typename... Args>
[[nodiscard]] Text format(const char* pattern, Args... args) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, pattern, args...);
  return Text(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// Replaces the double-byte full-width forms of ASCII characters (0xA3 0xA1 to
// 0xA3 0xFE) by those characters and the ideographic space by a space.
[[nodiscard]] Text fold_full_width(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0x80 && i + 1 < text.size()) {
      const auto trail = static_cast<unsigned char>(text[i + 1]);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        out += static_cast<char>(trail - 0xA1 + 0x21);
      } else if (lead == 0xA1 && trail == 0xA1) {
        out += ' ';
      } else {
        out += text.substr(i, 2);
      }
      ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

[[nodiscard]] bool is_white(char c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

template <typename Int>
[[nodiscard]] Int parse_leading_integer(std::string_view raw) noexcept {
  Text text;
  try {
    text = fold_full_width(raw);
  } catch (...) {
    return 0;
  }
  std::size_t i = 0;
  while (i < text.size() && is_white(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate towards the sign so that the most negative value is reachable.
  constexpr Int kMax = std::numeric_limits<Int>::max();
  constexpr Int kMin = std::numeric_limits<Int>::min();
  Int value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const Int digit = static_cast<Int>(text[i] - '0');
    if (negative) {
      if (value < (kMin + digit) / 10) return kMin;
      value = static_cast<Int>(value * 10 - digit);
    } else {
      if (value > (kMax - digit) / 10) return kMax;
      value = static_cast<Int>(value * 10 + digit);
    }
  }
  return value;
}

}  // namespace

Text to_text(std::int32_t value) { return format("%ld", static_cast<long>(value)); }
Text to_text(std::int64_t value) { return format("%lld", static_cast<long long>(value)); }
Text to_text(std::uint8_t value) { return format("%u", static_cast<unsigned>(value)); }
Text to_text(float value) { return format("%.6g", static_cast<double>(value)); }
Text to_text(double value) { return format("%.13g", value); }
Text to_text(std::string_view text) { return Text(text); }

Text to_text(const ByteBuffer& bytes) {
  Text text;
  for (const std::uint8_t byte : bytes) {
    if (byte == 0) break;
    text += static_cast<char>(byte);
  }
  return text;
}

Text to_hex_text(std::int32_t value) { return format("%lX", static_cast<unsigned long>(static_cast<std::uint32_t>(value))); }

std::int32_t to_int(std::string_view text) noexcept { return parse_leading_integer<std::int32_t>(text); }
std::int64_t to_long(std::string_view text) noexcept { return parse_leading_integer<std::int64_t>(text); }

std::int32_t to_int(double value) noexcept {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

double round_to(double value, int digits) noexcept {
  const double scale = std::pow(10.0, digits);
  const double y = std::fabs(value) * scale + 1e-12;
  const double whole = std::floor(y);
  const double rounded = whole + ((y - whole) >= 0.5 ? 1.0 : 0.0);
  return std::copysign(rounded, value) / scale;
}

}  // namespace lumen
