#pragma once
// The web request of the installer, sent with WinINet.

#include <string_view>

#include "http/web_request.hpp"

namespace lumen {

// Blocks until the whole body has been read. With all options left out: a
// GET with the default agent and header lines, redirects followed, the
// platform's cookies used, certificate problems ignored.
[[nodiscard]] WebResponse WebRequest(std::string_view url, const WebRequestOptions& options = {});

}  // namespace lumen
