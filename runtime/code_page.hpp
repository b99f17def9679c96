#pragma once
// Text that arrives in UTF-8 made into the program's texts (code page 936).

#include <optional>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// The UTF-8 bytes as code page 936 text: a character the code page lacks
// becomes "?" (two for one beyond U+FFFF, one per UTF-16 unit as Windows
// converts), which no file name check lets through. Nothing when the bytes
// are not UTF-8 (a cut or overlong sequence, a surrogate, past U+10FFFF).
[[nodiscard]] std::optional<Text> text_from_utf8(std::string_view utf8);

}  // namespace lumen
