#include "http/text_between.hpp"

namespace lumen {
namespace {

[[nodiscard]] Text with_quotes(std::string_view marker) {
  return replace_text(marker, "#引号", "\"", 1, kAllOccurrences, true);
}

}  // namespace

Text TextBetween(std::string_view text, std::string_view leftMarker, std::string_view rightMarker) {
  const Text left = with_quotes(leftMarker);
  const Text right = with_quotes(rightMarker);
  const int a = find_text(text, left);
  if (a < 1) return {};
  const std::int64_t from = a + std::ssize(left);
  const int b = find_text(text, right, from);
  if (b < 1) return {};
  return text_mid(text, from, b - from);
}

}  // namespace lumen
