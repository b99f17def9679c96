#pragma once
// Redirects followed by hand: the platform left to itself follows a server
// that redirects to itself for ever, so each hop is asked for separately and
// counted against kMaxRedirects (http/network_limits.hpp).

#include <optional>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// 301, 302, 303, 307 and 308: the answers that name a next address.
[[nodiscard]] bool IsRedirectStatus(int status) noexcept;

// The status code of a raw header block's status line, or 0.
[[nodiscard]] int StatusOfHeaders(std::string_view raw_headers);

// The value of the block's first header line of that name (compared without
// case), spaces around it removed; nothing when there is none.
[[nodiscard]] std::optional<Text> HeaderValue(std::string_view raw_headers, std::string_view name);

// Where a Location value leads from `from_url`: an absolute http or https
// address as it is, "//host/..." with the scheme of `from_url`, "/path" on the
// same server, anything else next to the last path segment. Nothing for
// another scheme or an empty value.
[[nodiscard]] std::optional<Text> RedirectTarget(std::string_view from_url, std::string_view location);

}  // namespace lumen
