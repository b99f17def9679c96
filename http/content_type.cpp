#include "http/content_type.hpp"

#include <optional>
#include <ranges>

namespace lumen {
namespace {

// The part of a "name: value" line or a "name=value" parameter after the
// separator, when the part before it is the name in any letter case.
[[nodiscard]] std::optional<Text> value_named(std::string_view pair, std::string_view name, char separator) {
  const std::size_t at = pair.find(separator);
  if (at == std::string_view::npos) return std::nullopt;
  if (to_lower(trim_spaces(pair.substr(0, at))) != name) return std::nullopt;
  return trim_spaces(pair.substr(at + 1));
}

[[nodiscard]] Text unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return Text(value.substr(1, value.size() - 2));
  return Text(value);
}

}  // namespace

Text ContentTypeOf(std::string_view rawHeaders) {
  for (const Text& line : split_text(rawHeaders, "\r\n")) {
    if (std::optional<Text> value = value_named(line, "content-type", ':')) return *std::move(value);
  }
  return {};
}

Text CharsetOf(std::string_view contentType) {
  // The media type itself comes first; the parameters follow it.
  const Array<Text> parts = split_text(contentType, ";");
  for (const Text& parameter : parts.items() | std::views::drop(1)) {
    if (const std::optional<Text> value = value_named(parameter, "charset", '=')) return to_lower(unquoted(*value));
  }
  return {};
}

}  // namespace lumen
