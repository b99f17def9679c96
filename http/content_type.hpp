#pragma once
// The media type an answer declares, out of its raw header block.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// The value of the first Content-Type line (its name in any letter case),
// without the spaces around it; empty when there is none.
[[nodiscard]] Text ContentTypeOf(std::string_view rawHeaders);

// The charset parameter of a Content-Type value ("text/html; charset=UTF-8"),
// unquoted and in lower case; empty when there is none.
[[nodiscard]] Text CharsetOf(std::string_view contentType);

}  // namespace lumen
