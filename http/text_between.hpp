#pragma once
// The text between two markers, the way the request code cuts values out of
// URLs and header lines.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// The text after the first occurrence of leftMarker and before the next
// occurrence of rightMarker; empty when either is missing. "#引号" in a marker
// stands for a double quote, so that callers can write quotes in markers.
[[nodiscard]] Text TextBetween(std::string_view text, std::string_view leftMarker,
                               std::string_view rightMarker);

}  // namespace lumen
