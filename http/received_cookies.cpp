#include "http/received_cookies.hpp"

#include "http/text_between.hpp"

namespace lumen {
namespace {

constexpr std::string_view kSeparator = "; ";

[[nodiscard]] Text HeaderName(std::string_view line) {
  const int colon = find_text(line, ": ");
  return colon < 1 ? Text() : text_left(line, colon - 1);
}

[[nodiscard]] Text CookieOfLine(std::string_view line) {
  if (find_text(line, ";") > 0) return trim_spaces(TextBetween(line, "Set-Cookie:", ";"));
  return trim_spaces(replace_text(line, "Set-Cookie:"));
}

}  // namespace

Text ReceivedCookies(std::string_view rawHeaders) {
  Text cookies;
  for (const Text& line : split_text(rawHeaders, "\r\n")) {
    if (HeaderName(line) != "Set-Cookie") continue;
    cookies += CookieOfLine(line);
    cookies += kSeparator;
  }
  if (!cookies.empty()) cookies.resize(cookies.size() - kSeparator.size());
  return cookies;
}

}  // namespace lumen
