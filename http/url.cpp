#include "http/url.hpp"

#include <algorithm>
#include <limits>

#include "http/text_between.hpp"

namespace lumen {
namespace {

constexpr std::string_view kHttps = "https://";
constexpr std::string_view kHttp = "http://";

// "host" or "host:port", lower-case.
[[nodiscard]] Text HostAndPort(std::string_view url) {
  Text lower = to_lower(url);
  if (lower.empty() || lower.back() != '/') lower += '/';
  if (text_starts_with(lower, kHttps)) return TextBetween(lower, kHttps, "/");
  if (find_text(lower, kHttp) < 1) lower.insert(0, kHttp);
  return TextBetween(lower, kHttp, "/");
}

// Leading decimal digits, saturating at the largest int32.
[[nodiscard]] std::int32_t LeadingDigits(std::string_view text) noexcept {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min(kMax, value * 10 + (c - '0'));
  }
  return static_cast<std::int32_t>(value);
}

// Where the host part of the URL begins: after a leading scheme, so that a
// host such as "h" or "ps" is not found inside "https://" itself.
[[nodiscard]] std::int64_t HostSearchStart(std::string_view url) {
  const Text lower = to_lower(text_left(url, std::ssize(kHttps)));
  if (text_starts_with(lower, kHttps)) return std::ssize(kHttps) + 1;
  if (text_starts_with(lower, kHttp)) return std::ssize(kHttp) + 1;
  return 1;
}

}  // namespace

bool IsSecureUrl(std::string_view url) { return to_lower(text_left(url, std::ssize(kHttps))) == kHttps; }

Text UrlHost(std::string_view url) {
  const Text host_and_port = HostAndPort(url);
  const int colon = find_text(host_and_port, ":");
  return colon < 1 ? host_and_port : text_left(host_and_port, colon - 1);
}

std::int32_t UrlPort(std::string_view url) {
  const Text host_and_port = HostAndPort(url);
  const int colon = find_text_last(host_and_port, ":");
  if (colon < 1) return to_lower(text_left(url, 5)) == "https" ? 443 : 80;
  return LeadingDigits(std::string_view(host_and_port).substr(static_cast<std::size_t>(colon)));
}

Text UrlPath(std::string_view url) {
  const Text host = UrlHost(url);
  const std::int64_t start = HostSearchStart(url);
  const int p = host.empty() ? static_cast<int>(start) : find_text(url, host, start, true);
  const int q = find_text(url, "/", p);
  return q > 0 ? Text(url.substr(static_cast<std::size_t>(q - 1))) : Text("/");
}

}  // namespace lumen
