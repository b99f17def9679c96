#include "http/download_response.hpp"

#include <charconv>

namespace lumen {
namespace {

[[nodiscard]] std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A whole non-negative decimal number, nothing before or after it.
[[nodiscard]] std::optional<std::int64_t> whole_number(std::string_view text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc{} || stop != end || value < 0) return std::nullopt;
  return value;
}

// A part that starts where the file stops and reaches the end of the resource.
[[nodiscard]] bool runs_from_offset_to_the_end(const ContentRange& range, std::int64_t offset) {
  if (range.first != offset) return false;
  return !range.complete_length || range.last + 1 == *range.complete_length;
}

}  // namespace

std::optional<ContentRange> ParseContentRange(std::string_view value) {
  value = trimmed(value);
  constexpr std::string_view kUnit = "bytes ";
  if (!value.starts_with(kUnit)) return std::nullopt;
  value.remove_prefix(kUnit.size());
  const std::size_t dash = value.find('-');
  const std::size_t slash = value.find('/');
  if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash) return std::nullopt;
  const auto first = whole_number(value.substr(0, dash));
  const auto last = whole_number(value.substr(dash + 1, slash - dash - 1));
  if (!first || !last || *last < *first) return std::nullopt;
  const std::string_view complete = value.substr(slash + 1);
  if (complete == "*") return ContentRange{*first, *last, std::nullopt};
  const auto length = whole_number(complete);
  if (!length || *last >= *length) return std::nullopt;
  return ContentRange{*first, *last, length};
}

std::optional<std::int64_t> ParseContentLength(std::string_view value) { return whole_number(trimmed(value)); }

ResponsePlan PlanForResponse(int status, std::int64_t requested_offset, std::string_view content_range) {
  if (status == 200) return ResponsePlan::StartOver;
  if (status == 206) {
    const auto range = ParseContentRange(content_range);
    if (range && runs_from_offset_to_the_end(*range, requested_offset)) return ResponsePlan::Append;
  }
  // Whatever a server answers a range with, other than the part asked for,
  // it may well serve the whole file: a range refused once would otherwise
  // be refused again on every later run.
  return requested_offset > 0 ? ResponsePlan::AskForWhole : ResponsePlan::Refuse;
}

std::optional<std::optional<std::int64_t>> AnnouncedTotal(int status, std::int64_t offset,
                                                          std::optional<std::int64_t> content_length,
                                                          std::string_view content_range) {
  const std::optional<std::int64_t> from_length =
      content_length ? std::optional(offset + *content_length) : std::nullopt;
  const auto range = status == 206 ? ParseContentRange(content_range) : std::nullopt;
  if (!range || !range->complete_length) return from_length;
  if (from_length && *from_length != *range->complete_length) return std::nullopt;
  return range->complete_length;
}

}  // namespace lumen
