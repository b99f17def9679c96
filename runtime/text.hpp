#pragma once
// Texts: byte strings in the system's ANSI code page (936 on the target
// systems), counted in bytes with 1-based positions. A missing text and the
// empty text are the same value. Operations marked double-byte aware never
// start a match or a case change in the second byte of a double-byte character.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/array.hpp"

namespace lumen {

using Text = std::string;

// True for a byte that starts a double-byte character in code page 936.
[[nodiscard]] constexpr bool is_lead_byte(char byte) noexcept {
  return static_cast<unsigned char>(byte) >= 0x80;
}

// Byte offset of the character after the one that starts at `offset`. A lead
// byte and the byte after it are one character, whatever that second byte is
// (it may be 0x5C, a backslash on its own); a lead byte that ends the text is
// a character cut in half and stands alone.
[[nodiscard]] constexpr std::size_t next_char_offset(std::string_view text, std::size_t offset) noexcept {
  return (is_lead_byte(text[offset]) && offset + 1 < text.size()) ? offset + 2 : offset + 1;
}

// A double-byte character whose second byte is missing.
[[nodiscard]] constexpr bool is_cut_character(std::string_view character) noexcept {
  return character.size() == 1 && is_lead_byte(character[0]);
}

// The characters of a text in order, each as the bytes it occupies:
//   for (std::string_view c : characters_of(name)) ...
class TextCharacters {
 public:
  class Iterator {
   public:
    constexpr Iterator(std::string_view text, std::size_t offset) noexcept : text_(text), offset_(offset) {}
    [[nodiscard]] constexpr std::string_view operator*() const noexcept {
      return text_.substr(offset_, next_char_offset(text_, offset_) - offset_);
    }
    constexpr Iterator& operator++() noexcept {
      offset_ = next_char_offset(text_, offset_);
      return *this;
    }
    [[nodiscard]] constexpr bool operator==(const Iterator& other) const noexcept { return offset_ == other.offset_; }
    // Where the character starts in the text.
    [[nodiscard]] constexpr std::size_t offset() const noexcept { return offset_; }

   private:
    std::string_view text_;
    std::size_t offset_;
  };

  explicit constexpr TextCharacters(std::string_view text) noexcept : text_(text) {}
  [[nodiscard]] constexpr Iterator begin() const noexcept { return {text_, 0}; }
  [[nodiscard]] constexpr Iterator end() const noexcept { return {text_, text_.size()}; }

 private:
  std::string_view text_;
};

[[nodiscard]] constexpr TextCharacters characters_of(std::string_view text) noexcept { return TextCharacters(text); }

// The last character of the text (empty for the empty text).
[[nodiscard]] constexpr std::string_view last_character(std::string_view text) noexcept {
  std::string_view last;
  for (std::string_view c : characters_of(text)) last = c;
  return last;
}

[[nodiscard]] int text_compare(std::string_view a, std::string_view b) noexcept;
// Equal when ASCII letters are folded. Double-byte aware.
[[nodiscard]] bool same_text_ignoring_case(std::string_view a, std::string_view b) noexcept;
[[nodiscard]] Text text_left(std::string_view text, std::int64_t n);
[[nodiscard]] Text text_right(std::string_view text, std::int64_t n);
[[nodiscard]] Text text_mid(std::string_view text, std::int64_t start, std::int64_t n);
[[nodiscard]] Text char_text(std::uint8_t byte);
[[nodiscard]] int char_code_at(std::string_view text, std::int64_t position = 1) noexcept;
[[nodiscard]] bool text_starts_with(std::string_view text, std::string_view prefix) noexcept;
[[nodiscard]] Text spaces(std::int64_t n);

// Position of the first occurrence at or after start, or -1. Double-byte aware.
[[nodiscard]] int find_text(std::string_view text, std::string_view sought, std::int64_t start = 1,
                            bool ignore_case = false) noexcept;
// Position of the last occurrence lying wholly within the first start-1 bytes
// (the whole text without start), or -1. Double-byte aware.
[[nodiscard]] int find_text_last(std::string_view text, std::string_view sought,
                                 std::optional<std::int64_t> start = std::nullopt,
                                 bool ignore_case = false) noexcept;

// ASCII letters only; both bytes of a double-byte character stay as they are.
[[nodiscard]] Text to_upper(std::string_view text);
[[nodiscard]] Text to_lower(std::string_view text);

// Removes ASCII spaces and the ideographic space (0xA1 0xA1) from both ends.
[[nodiscard]] Text trim_spaces(std::string_view text);

inline constexpr std::int64_t kAllOccurrences = -1;

// Replaces at most count occurrences at or after start, left to right, without
// rescanning replaced text. Double-byte aware.
[[nodiscard]] Text replace_text(std::string_view text, std::string_view sought,
                                std::string_view replacement = {}, std::int64_t start = 1,
                                std::int64_t count = kAllOccurrences, bool case_sensitive = false);

inline constexpr std::int64_t kUnlimitedPieces = -1;

// The pieces between delimiters, empty ones included except an empty last
// piece; at most max pieces. Delimiters are found double-byte aware, so a
// backslash that is the second byte of a character never splits a path.
[[nodiscard]] Array<Text> split_text(std::string_view text, std::string_view delimiter = ",",
                                     std::int64_t max = kUnlimitedPieces);

}  // namespace lumen
