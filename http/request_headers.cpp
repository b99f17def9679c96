#include "http/request_headers.hpp"

#include "http/method.hpp"
#include "http/text_between.hpp"

namespace lumen {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

[[nodiscard]] Text CapitalisedName(std::string_view name) {
  Text out(name);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const bool starts_part = i == 0 || out[i - 1] == '-';
    if (starts_part && out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
  }
  return out;
}

[[nodiscard]] bool HasHeader(std::string_view block, std::string_view name_with_colon) {
  return find_text(block, name_with_colon, 1, true) > 0;
}

}  // namespace

Text NormalizeHeaderNames(std::string_view block) {
  Text out;
  for (const Text& piece : split_text(block, kLineEnd)) {
    const int colon = find_text(piece, ":");
    if (colon < 1) continue;
    out += CapitalisedName(text_left(piece, colon - 1));
    out += std::string_view(piece).substr(static_cast<std::size_t>(colon - 1));
    out += kLineEnd;
  }
  if (!out.empty()) out.resize(out.size() - kLineEnd.size());
  return out;
}

Text UserAgentFor(std::string_view block) {
  if (!HasHeader(block, "User-Agent:")) return Text(kDefaultUserAgent);
  Text agent = trim_spaces(TextBetween(Text(block) + Text(kLineEnd), "User-Agent:", kLineEnd));
  if (!agent.empty()) return agent;
  const int colon = find_text(block, ":");
  return colon < 1 ? Text() : trim_spaces(block.substr(static_cast<std::size_t>(colon)));
}

Text WithDefaultHeaders(std::string_view block, std::string_view url, std::int32_t method) {
  Text out = block.empty() ? Text("Accept: */*") : Text(block);
  if (!HasHeader(out, "Accept:")) out += "\r\nAccept: */*";
  if (!HasHeader(out, "Referer:")) {
    out += "\r\nReferer: ";
    out += url;
  }
  if (!HasHeader(out, "Accept-Language:")) out += "\r\nAccept-Language: zh-cn";
  if (method == kMethodPost && !HasHeader(out, "Content-Type:")) {
    out += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  return out;
}

Text WithCookieHeader(std::string_view block, std::string_view cookies) {
  Text out(block);
  if (cookies.empty()) return out;
  out += find_text(cookies, "Cookie:") > 0 ? "\r\n" : "\r\nCookie: ";
  out += cookies;
  return out;
}

}  // namespace lumen
