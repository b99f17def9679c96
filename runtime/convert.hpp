#pragma once
// Conversions between numbers, truth values, byte buffers and texts, with the
// runtime's exact text forms.

#include <cstdint>
#include <string_view>

#include "runtime/byte_buffer.hpp"
#include "runtime/text.hpp"

namespace lumen {

[[nodiscard]] Text to_text(std::int32_t value);
[[nodiscard]] Text to_text(std::int64_t value);
[[nodiscard]] Text to_text(std::uint8_t value);
[[nodiscard]] Text to_text(float value);   // printf "%.6g"
[[nodiscard]] Text to_text(double value);  // printf "%.13g"
[[nodiscard]] Text to_text(const ByteBuffer& bytes);  // up to the first zero byte
[[nodiscard]] Text to_text(std::string_view text);
[[nodiscard]] inline Text to_text(const char* text) { return to_text(std::string_view(text)); }
[[nodiscard]] inline Text to_text(const Text& text) { return text; }
// "真" or "假". A template so that pointers and numbers never land here.
template <typename T>
  requires std::same_as<T, bool>
[[nodiscard]] Text to_text(T value) {
  return value ? "真" : "假";
}

// Upper-case hexadecimal without leading zeros.
[[nodiscard]] Text to_hex_text(std::int32_t value);

// Text to integer: full-width forms of ASCII characters and the ideographic
// space count as their ASCII counterparts; then optional white space, an
// optional sign and decimal digits up to the first other byte. No digits give
// 0; values beyond the type's range saturate.
[[nodiscard]] std::int32_t to_int(std::string_view text) noexcept;
[[nodiscard]] std::int64_t to_long(std::string_view text) noexcept;
// Floating point to integer: the fraction is dropped (towards zero).
[[nodiscard]] std::int32_t to_int(double value) noexcept;

// Rounds half away from zero to `digits` decimals (negative: tens, hundreds...).
[[nodiscard]] double round_to(double value, int digits = 0) noexcept;

}  // namespace lumen
