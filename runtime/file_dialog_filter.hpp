#pragma once
// File dialog filters: the designer's "description|pattern|..." form and the
// platform's zero-separated, doubly terminated one.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen::forms {

// Splits at "|" without ever splitting a double-byte character whose second
// byte is "|"; every piece ends in a zero byte and one more closes the list.
[[nodiscard]] Text platform_filter(std::string_view designer_filter);

}  // namespace lumen::forms
