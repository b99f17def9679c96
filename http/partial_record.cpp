#include "http/partial_record.hpp"

#include <algorithm>
#include <array>

#include "http/download_response.hpp"
#include "http/file_head.hpp"
#include "runtime/text.hpp"

namespace lumen {
namespace {

constexpr std::array<std::string_view, 4> kKeys = {"url=", "version=", "length=", "validator="};

// A line break would end the value early; a zero byte is no text at all.
[[nodiscard]] bool cannot_be_read_back(std::string_view value) noexcept {
  return value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

[[nodiscard]] std::string_view trimmed(std::string_view text) noexcept {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The value of the first header line with this name.
[[nodiscard]] std::string_view header_value(std::string_view raw_headers, std::string_view name) noexcept {
  while (!raw_headers.empty()) {
    const std::size_t end = raw_headers.find("\r\n");
    const std::string_view line = raw_headers.substr(0, end);
    raw_headers = end == std::string_view::npos ? std::string_view{} : raw_headers.substr(end + 2);
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && same_text_ignoring_case(trimmed(line.substr(0, colon)), name)) {
      return trimmed(line.substr(colon + 1));
    }
  }
  return {};
}

}  // namespace

Text PartialRecordPath(std::string_view temp_path) { return Text(temp_path) + Text(kPartialRecordSuffix); }

std::optional<Text> FormatPartialRecord(const PartialRecord& record) {
  const std::array<Text, 4> values = {record.url, record.version, std::to_string(record.length), record.validator};
  Text text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (cannot_be_read_back(values[i])) return std::nullopt;
    text += Text(kKeys[i]) + values[i] + "\n";
  }
  if (text.size() > kPartialRecordLimit) return std::nullopt;
  return text;
}

std::optional<PartialRecord> ParsePartialRecord(std::string_view text) {
  if (text.size() > kPartialRecordLimit || text.find('\0') != std::string_view::npos) return std::nullopt;
  std::array<Text, 4> values;
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos || !text.starts_with(kKeys[i])) return std::nullopt;
    values[i] = Text(text.substr(kKeys[i].size(), end - kKeys[i].size()));
    text.remove_prefix(end + 1);
  }
  const auto length = ParseContentLength(values[2]);
  if (!text.empty() || !length) return std::nullopt;
  return PartialRecord{values[0], values[1], *length, values[3]};
}

FoundRecord ReadPartialRecord(FileSystem& files, std::string_view temp_path) {
  const FileNumber file = files.open(PartialRecordPath(temp_path), OpenMode::Read);
  if (!file || file->size() <= 0) return {};
  if (file->size() > std::int64_t{kPartialRecordLimit}) return {.present = true, .record = std::nullopt};
  const ByteBuffer bytes = ReadFileHead(*file, kPartialRecordLimit);
  return {.present = true, .record = ParsePartialRecord(Text(bytes.begin(), bytes.end()))};
}

Text ValidatorInHeaders(std::string_view raw_headers) {
  const std::string_view tag = header_value(raw_headers, "ETag");
  if (!tag.empty() && !tag.starts_with("W/")) return Text(tag);
  return Text(header_value(raw_headers, "Last-Modified"));
}

}  // namespace lumen
