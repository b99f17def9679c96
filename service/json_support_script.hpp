#pragma once
// The script every JSON document's engine is given before its first use:
// the three helper functions the document's snippets call, and JSON
// serialising and parsing for engines that lack them.

#include <string_view>

namespace lumen {

[[nodiscard]] std::string_view json_support_script() noexcept;

}  // namespace lumen
