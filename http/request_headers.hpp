#pragma once
// The request header block: extra lines joined by CR LF, as callers write
// them, completed with the default lines and the cookies before it is sent.

#include <cstdint>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

inline constexpr std::string_view kDefaultUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// Rewrites every line "name:rest" with the name's parts between hyphens
// capitalised (content-type becomes Content-Type); lines without a colon,
// empty ones included, are dropped. The rest of each line stays as it is.
[[nodiscard]] Text NormalizeHeaderNames(std::string_view block);

// The agent a request introduces itself with: the value of the block's
// User-Agent line, else the default agent.
[[nodiscard]] Text UserAgentFor(std::string_view block);

// Appends Accept, Referer (the URL), Accept-Language and, for POST,
// Content-Type lines unless the block already has them.
[[nodiscard]] Text WithDefaultHeaders(std::string_view block, std::string_view url, std::int32_t method);

// Appends the cookies as a Cookie line; a cookie text that already holds
// "Cookie:" is taken as the line itself. Empty cookies add nothing.
[[nodiscard]] Text WithCookieHeader(std::string_view block, std::string_view cookies);

}  // namespace lumen
