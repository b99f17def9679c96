#pragma once
// The cookies a response sets, out of its raw header block.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// The first name=value pair of every "Set-Cookie: " line (name and ": "
// exactly so), trimmed, joined by "; ". Attributes (path, expiry) are dropped.
[[nodiscard]] Text ReceivedCookies(std::string_view rawHeaders);

}  // namespace lumen
