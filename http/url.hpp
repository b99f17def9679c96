#pragma once
// The parts of a request URL the connection is made with. A URL without a
// scheme is plain HTTP; host names come out lower-case, the path keeps its case.

#include <cstdint>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// Whether the URL starts with "https://", in any case.
[[nodiscard]] bool IsSecureUrl(std::string_view url);

// The host name, lower-case, without the port.
[[nodiscard]] Text UrlHost(std::string_view url);

// The port after the host's last colon (its leading digits; 0 when there are
// none), else 443 for https and 80 for everything else. Values beyond a
// 16-bit port are returned as they are: IsConnectablePort tells them apart.
[[nodiscard]] std::int32_t UrlPort(std::string_view url);

// Everything from the first "/" after the host on, query and fragment
// included, in its original case; "/" when there is nothing after the host.
[[nodiscard]] Text UrlPath(std::string_view url);

// 0 leaves the choice to the platform (the scheme's default port).
[[nodiscard]] constexpr bool IsConnectablePort(std::int32_t port) noexcept {
  return port >= 0 && port <= 65535;
}

}  // namespace lumen
