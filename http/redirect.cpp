#include "http/redirect.hpp"

#include <charconv>

#include "http/url.hpp"

namespace lumen {
namespace {

[[nodiscard]] std::string_view without_spaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

[[nodiscard]] bool starts_with_lower(std::string_view text, std::string_view lower_prefix) {
  return text.size() >= lower_prefix.size() && to_lower(text.substr(0, lower_prefix.size())) == lower_prefix;
}

// "scheme://host[:port]" of the URL, as it was written.
[[nodiscard]] std::string_view origin_of(std::string_view url) {
  const std::size_t scheme_end = url.find("://");
  const std::size_t host_start = scheme_end == std::string_view::npos ? 0 : scheme_end + 3;
  const std::size_t path_start = url.find_first_of("/?#", host_start);
  return url.substr(0, path_start);
}

}  // namespace

bool IsRedirectStatus(int status) noexcept {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

int StatusOfHeaders(std::string_view raw_headers) {
  const std::string_view line = raw_headers.substr(0, raw_headers.find("\r\n"));
  const std::size_t space = line.find(' ');
  if (!line.starts_with("HTTP/") || space == std::string_view::npos) return 0;
  const std::string_view code = line.substr(space + 1, 3);
  int status = 0;
  const auto [end, error] = std::from_chars(code.data(), code.data() + code.size(), status);
  return error == std::errc{} && end == code.data() + code.size() && code.size() == 3 ? status : 0;
}

std::optional<Text> HeaderValue(std::string_view raw_headers, std::string_view name) {
  const Text sought = to_lower(name) + ":";
  for (std::size_t start = raw_headers.find("\r\n"); start != std::string_view::npos;) {
    start += 2;
    const std::size_t end = raw_headers.find("\r\n", start);
    const std::string_view line = raw_headers.substr(start, end == std::string_view::npos ? end : end - start);
    if (starts_with_lower(line, sought)) return Text(without_spaces(line.substr(sought.size())));
    start = end;
  }
  return std::nullopt;
}

std::optional<Text> RedirectTarget(std::string_view from_url, std::string_view location) {
  if (location.empty()) return std::nullopt;
  if (starts_with_lower(location, "http://") || starts_with_lower(location, "https://")) return Text(location);
  if (location.starts_with("//")) return Text(IsSecureUrl(from_url) ? "https:" : "http:") + Text(location);
  // Any other scheme ("ftp:", "file:") is no place to go.
  const std::size_t colon = location.find(':');
  if (colon != std::string_view::npos && location.find_first_of("/?#") > colon) return std::nullopt;
  const std::string_view origin = origin_of(from_url);
  if (location.starts_with('/')) return Text(origin) + Text(location);
  std::string_view path = from_url.substr(origin.size());
  path = path.substr(0, path.find_first_of("?#"));
  const std::size_t slash = path.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? "/" : path.substr(0, slash + 1);
  return Text(origin) + Text(folder) + Text(location);
}

}  // namespace lumen
