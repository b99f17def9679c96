#include "service/json_validator.hpp"

#include <vector>

namespace lumen {
namespace {

[[nodiscard]] constexpr bool is_digit(char c) noexcept { return c >= '0' && c <= '9'; }

[[nodiscard]] constexpr bool is_hex_digit(char c) noexcept {
  return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

[[nodiscard]] constexpr bool is_lead(unsigned char c) noexcept { return c >= 0x81 && c <= 0xFE; }

[[nodiscard]] constexpr bool is_trail(unsigned char c) noexcept {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

// A cursor over the text. Every read is bounds-checked: past the end it sees
// a zero byte, which no rule accepts.
class Checker {
 public:
  Checker(std::string_view text, const JsonLimits& limits) : text_(text), limits_(limits) {}

  [[nodiscard]] std::optional<JsonKind> run() {
    if (text_.size() > limits_.max_bytes) return std::nullopt;
    skip_space();
    const char first = peek();
    if (!value_sequence()) return std::nullopt;
    skip_space();
    if (position_ != text_.size()) return std::nullopt;
    return kind_of(first);
  }

 private:
  [[nodiscard]] static JsonKind kind_of(char first) noexcept {
    switch (first) {
      case '{': return JsonKind::Object;
      case '[': return JsonKind::Array;
      case '"': return JsonKind::String;
      case 't':
      case 'f':
      case 'n': return JsonKind::Literal;
      default: return JsonKind::Number;
    }
  }

  [[nodiscard]] char peek() const noexcept { return position_ < text_.size() ? text_[position_] : '\0'; }

  [[nodiscard]] bool take(char expected) noexcept {
    if (peek() != expected) return false;
    ++position_;
    return true;
  }

  void skip_space() noexcept {
    while (position_ < text_.size()) {
      const char c = text_[position_];
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return;
      ++position_;
    }
  }

  // One top-level value. Containers are tracked on an explicit stack rather
  // than by recursion, so no input can exhaust the checker's own stack.
  [[nodiscard]] bool value_sequence() {
    std::vector<char> open;
    for (;;) {
      skip_space();
      if (peek() == '{' || peek() == '[') {
        if (static_cast<int>(open.size()) >= limits_.max_depth) return false;
        const char bracket = text_[position_++];
        skip_space();
        if (take(bracket == '{' ? '}' : ']')) {
          if (!after_value(open)) return false;
          if (open.empty()) return true;
          continue;
        }
        if (bracket == '[' && !count_array_element()) return false;
        open.push_back(bracket);
        if (bracket == '{' && !member_name()) return false;
        continue;
      }
      if (!scalar() || !after_value(open)) return false;
      if (open.empty()) return true;
    }
  }

  // After a complete value inside containers: closes as many containers as
  // the text closes, then reads the separator before the next value (and,
  // in an object, the next member's name). True with an empty stack when the
  // top-level value is complete.
  [[nodiscard]] bool after_value(std::vector<char>& open) {
    while (!open.empty()) {
      skip_space();
      const char closing = open.back() == '{' ? '}' : ']';
      if (take(closing)) {
        open.pop_back();
        continue;
      }
      if (!take(',')) return false;
      return open.back() == '[' ? count_array_element() : member_name();
    }
    return true;
  }

  // One more element in some array of the document; false past the limit.
  [[nodiscard]] bool count_array_element() noexcept { return ++array_elements_ <= limits_.max_array_elements; }

  [[nodiscard]] bool member_name() {
    skip_space();
    if (!string()) return false;
    skip_space();
    return take(':');
  }

  [[nodiscard]] bool scalar() {
    switch (peek()) {
      case '"': return string();
      case 't': return word("true");
      case 'f': return word("false");
      case 'n': return word("null");
      default: return number();
    }
  }

  [[nodiscard]] bool word(std::string_view expected) noexcept {
    if (text_.substr(position_, expected.size()) != expected) return false;
    position_ += expected.size();
    return true;
  }

  [[nodiscard]] bool digits() noexcept {
    if (!is_digit(peek())) return false;
    while (is_digit(peek())) ++position_;
    return true;
  }

  [[nodiscard]] bool number() noexcept {
    static_cast<void>(take('-'));
    if (!take('0') && !(peek() >= '1' && peek() <= '9' && digits())) return false;
    if (take('.') && !digits()) return false;
    if (take('e') || take('E')) {
      if (!take('+')) static_cast<void>(take('-'));
      if (!digits()) return false;
    }
    return true;
  }

  [[nodiscard]] bool escape() noexcept {
    if (position_ >= text_.size()) return false;
    const char c = text_[position_++];
    switch (c) {
      case '"':
      case '\\':
      case '/':
      case 'b':
      case 'f':
      case 'n':
      case 'r':
      case 't': return true;
      case 'u':
        for (int i = 0; i < 4; ++i) {
          if (!is_hex_digit(peek())) return false;
          ++position_;
        }
        return true;
      default: return false;
    }
  }

  [[nodiscard]] bool string() noexcept {
    if (!take('"')) return false;
    while (position_ < text_.size()) {
      const auto c = static_cast<unsigned char>(text_[position_++]);
      if (c == '"') return true;
      if (c == '\\') {
        if (!escape()) return false;
      } else if (is_lead(c)) {
        if (position_ >= text_.size() || !is_trail(static_cast<unsigned char>(text_[position_]))) return false;
        ++position_;
      } else if (c < 0x20 || c == 0xFF) {
        return false;
      }
    }
    return false;
  }

  std::string_view text_;
  const JsonLimits& limits_;
  std::size_t position_ = 0;
  std::size_t array_elements_ = 0;
};

}  // namespace

std::optional<JsonKind> check_json(std::string_view text, const JsonLimits& limits) {
  return Checker(text, limits).run();
}

}  // namespace lumen
