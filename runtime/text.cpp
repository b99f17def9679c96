#include "runtime/text.hpp"

#include <algorithm>
#include <vector>

namespace lumen {
namespace {

using Size = std::string_view::size_type;

[[nodiscard]] char fold_ascii(char c) noexcept {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether sought occurs at a character boundary `offset` of text. Bytes of a
// double-byte character compare exactly; ASCII letters fold when asked to.
[[nodiscard]] bool matches_at(std::string_view text, Size offset, std::string_view sought,
                              bool ignore_case) noexcept {
  if (text.size() - offset < sought.size()) return false;
  Size k = 0;
  while (k < sought.size()) {
    const char t = text[offset + k];
    if (is_lead_byte(t)) {
      if (t != sought[k]) return false;
      if (k + 1 < sought.size() && text[offset + k + 1] != sought[k + 1]) return false;
      k += 2;
      continue;
    }
    if (ignore_case ? fold_ascii(t) != fold_ascii(sought[k]) : t != sought[k]) return false;
    ++k;
  }
  return true;
}

// Zero-based offset of the first match at a character boundary at or after
// `from`, or npos. `boundary` is a character boundary at or before `from`
// where the walk may start (0 is always one).
[[nodiscard]] Size find_from(std::string_view text, std::string_view sought, Size from, bool ignore_case,
                             Size boundary = 0) noexcept {
  for (Size offset = boundary; offset < text.size(); offset = next_char_offset(text, offset)) {
    if (offset >= from && matches_at(text, offset, sought, ignore_case)) return offset;
  }
  return std::string_view::npos;
}

[[nodiscard]] Text change_case(std::string_view text, bool upper) {
  Text out(text);
  for (Size offset = 0; offset < out.size(); offset = next_char_offset(out, offset)) {
    char& c = out[offset];
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Length in bytes of the space character at offset: 1 for ASCII, 2 for the
// ideographic space, 0 for anything else.
[[nodiscard]] Size space_length(std::string_view text, Size offset) noexcept {
  if (text[offset] == ' ') return 1;
  if (text.substr(offset, 2) == "\xA1\xA1") return 2;
  return 0;
}

}  // namespace

int text_compare(std::string_view a, std::string_view b) noexcept { return a.compare(b); }

bool same_text_ignoring_case(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() && matches_at(a, 0, b, true);
}

Text text_left(std::string_view text, std::int64_t n) {
  if (n <= 0) return {};
  return Text(text.substr(0, static_cast<Size>(std::min<std::int64_t>(n, std::ssize(text)))));
}

Text text_right(std::string_view text, std::int64_t n) {
  if (n <= 0) return {};
  const auto take = static_cast<Size>(std::min<std::int64_t>(n, std::ssize(text)));
  return Text(text.substr(text.size() - take));
}

Text text_mid(std::string_view text, std::int64_t start, std::int64_t n) {
  if (start < 1 || start > std::ssize(text) || n <= 0) return {};
  const auto offset = static_cast<Size>(start - 1);
  return Text(text.substr(offset, static_cast<Size>(std::min<std::int64_t>(n, std::ssize(text) - (start - 1)))));
}

Text char_text(std::uint8_t byte) {
  if (byte == 0) return {};
  return Text(1, static_cast<char>(byte));
}

int char_code_at(std::string_view text, std::int64_t position) noexcept {
  if (position < 1 || position > std::ssize(text)) return 0;
  return static_cast<signed char>(text[static_cast<Size>(position - 1)]);
}

bool text_starts_with(std::string_view text, std::string_view prefix) noexcept {
  return text.starts_with(prefix);
}

Text spaces(std::int64_t n) {
  if (n < 1) return {};
  return Text(static_cast<Size>(n), ' ');
}

int find_text(std::string_view text, std::string_view sought, std::int64_t start,
              bool ignore_case) noexcept {
  const std::int64_t from = std::max<std::int64_t>(start, 1) - 1;
  if (from >= std::ssize(text)) return -1;
  if (sought.empty()) return 1;
  const Size found = find_from(text, sought, static_cast<Size>(from), ignore_case);
  return found == std::string_view::npos ? -1 : static_cast<int>(found + 1);
}

int find_text_last(std::string_view text, std::string_view sought,
                   std::optional<std::int64_t> start, bool ignore_case) noexcept {
  const std::int64_t limit = start ? std::clamp<std::int64_t>(*start - 1, 0, std::ssize(text)) : std::ssize(text);
  if (sought.empty()) return -1;
  int last = -1;
  for (Size offset = 0; offset < text.size(); offset = next_char_offset(text, offset)) {
    if (static_cast<std::int64_t>(offset + sought.size()) > limit) break;
    if (matches_at(text, offset, sought, ignore_case)) last = static_cast<int>(offset + 1);
  }
  return last;
}

Text to_upper(std::string_view text) { return change_case(text, true); }
Text to_lower(std::string_view text) { return change_case(text, false); }

Text trim_spaces(std::string_view text) {
  Size begin = 0;
  while (begin < text.size()) {
    const Size n = space_length(text, begin);
    if (n == 0) break;
    begin += n;
  }
  // The end of the last character that is not a space, walking character by
  // character so that a trail byte 0xA1 is never mistaken for a space.
  Size end = begin;
  for (Size offset = begin; offset < text.size();) {
    const Size n = space_length(text, offset);
    const Size next = n != 0 ? offset + n : next_char_offset(text, offset);
    if (n == 0) end = next;
    offset = next;
  }
  return Text(text.substr(begin, end - begin));
}

Text replace_text(std::string_view text, std::string_view sought, std::string_view replacement,
                  std::int64_t start, std::int64_t count, bool case_sensitive) {
  if (text.empty() || sought.empty() || start > std::ssize(text) || count == 0) return Text(text);
  const auto from = static_cast<Size>(std::max<std::int64_t>(start, 1) - 1);
  Text out;
  Size copied = 0;
  std::int64_t replaced = 0;
  for (Size offset = 0; offset < text.size();) {
    if (offset >= from && (count < 0 || replaced < count) &&
        matches_at(text, offset, sought, !case_sensitive)) {
      out.append(text.substr(copied, offset - copied));
      out.append(replacement);
      offset += sought.size();
      copied = offset;
      ++replaced;
      continue;
    }
    offset = next_char_offset(text, offset);
  }
  out.append(text.substr(std::min(copied, text.size())));
  return out;
}

Array<Text> split_text(std::string_view text, std::string_view delimiter, std::int64_t max) {
  std::vector<Text> pieces;
  if (text.empty() || max == 0) return Array<Text>(std::move(pieces));
  if (delimiter.empty()) {
    pieces.emplace_back(text);
    return Array<Text>(std::move(pieces));
  }
  Size begin = 0;
  while (max < 0 || std::ssize(pieces) < max) {
    // The end of a match is a character boundary: the walk resumes there.
    const Size found = find_from(text, delimiter, begin, false, begin);
    if (found == std::string_view::npos) {
      if (begin < text.size()) pieces.emplace_back(text.substr(begin));
      break;
    }
    pieces.emplace_back(text.substr(begin, found - begin));
    begin = found + delimiter.size();
  }
  return Array<Text>(std::move(pieces));
}

}  // namespace lumen
