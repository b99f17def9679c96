#pragma once
// Request methods: indexes into the method table. Any other value means GET.

#include <array>
#include <cstdint>
#include <string_view>

namespace lumen {

inline constexpr std::int32_t kMethodGet = 0;
inline constexpr std::int32_t kMethodPost = 1;
inline constexpr std::int32_t kMethodHead = 2;
inline constexpr std::int32_t kMethodPut = 3;
inline constexpr std::int32_t kMethodOptions = 4;
inline constexpr std::int32_t kMethodDelete = 5;
inline constexpr std::int32_t kMethodTrace = 6;
inline constexpr std::int32_t kMethodConnect = 7;

inline constexpr std::array<std::string_view, 8> kMethodVerbs = {
    "GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};

// The method itself when it is in the table, else GET.
[[nodiscard]] constexpr std::int32_t KnownMethod(std::int32_t method) noexcept {
  return method >= 0 && method < std::ssize(kMethodVerbs) ? method : kMethodGet;
}

[[nodiscard]] constexpr std::string_view VerbOf(std::int32_t method) noexcept {
  return kMethodVerbs[static_cast<std::size_t>(KnownMethod(method))];
}

}  // namespace lumen
