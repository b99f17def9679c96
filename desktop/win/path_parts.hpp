#pragma once
// Parts of a path as the shell finds them (double-byte aware).

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// The last component of the path; without extension unless asked for. A
// path ending in a backslash names no file: the empty text.
[[nodiscard]] Text FileNameOf(std::string_view path, bool with_extension = false);

// The extension of the path's last component with its dot, or the empty text.
[[nodiscard]] Text ExtensionOf(std::string_view path);

}  // namespace lumen
