#include "runtime/code_page.hpp"

#include <iconv.h>

#include <cstdint>

namespace lumen {
namespace {

struct SequenceShape {
  std::size_t length;
  // The second byte's range, narrowed so that no overlong form, surrogate
  // or code point past U+10FFFF passes.
  std::uint8_t low;
  std::uint8_t high;
};

[[nodiscard]] SequenceShape shape_after(std::uint8_t lead) noexcept {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// The length of the well-formed multi-byte UTF-8 sequence at the start of
// the bytes, or 0 when it is not one.
[[nodiscard]] std::size_t multi_byte_length(std::string_view bytes) noexcept {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  const SequenceShape shape = shape_after(byte(0));
  if (shape.length == 0 || bytes.size() < shape.length) return 0;
  if (byte(1) < shape.low || byte(1) > shape.high) return 0;
  for (std::size_t i = 2; i < shape.length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return shape.length;
}

// An iconv descriptor from UTF-8 to code page 936, closed when dropped.
class Converter {
 public:
  Converter() : descriptor_(iconv_open("CP936", "UTF-8")) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (ready()) iconv_close(descriptor_);
  }

  [[nodiscard]] bool ready() const noexcept { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

  // Converts one well-formed multi-byte character; false when the code page
  // lacks it.
  [[nodiscard]] bool append(std::string_view character, Text& out) {
    char* in = const_cast<char*>(character.data());
    std::size_t in_left = character.size();
    char converted[8];
    char* to = converted;
    std::size_t out_left = sizeof converted;
    if (iconv(descriptor_, &in, &in_left, &to, &out_left) == static_cast<std::size_t>(-1)) return false;
    out.append(converted, static_cast<std::size_t>(to - converted));
    return true;
  }

 private:
  iconv_t descriptor_;
};

}  // namespace

// iconv reports a malformed sequence and a character the code page lacks
// alike, so the sequences are checked here and given to it one at a time.
std::optional<Text> text_from_utf8(std::string_view utf8) {
  Converter converter;
  if (!converter.ready()) return std::nullopt;
  Text text;
  text.reserve(utf8.size());
  while (!utf8.empty()) {
    if (static_cast<std::uint8_t>(utf8.front()) < 0x80) {
      text += utf8.front();
      utf8.remove_prefix(1);
      continue;
    }
    const std::size_t length = multi_byte_length(utf8);
    if (length == 0) return std::nullopt;
    // Windows puts a "?" for each UTF-16 unit, so two for a four-byte one.
    if (!converter.append(utf8.substr(0, length), text)) text.append(length == 4 ? 2 : 1, '?');
    utf8.remove_prefix(length);
  }
  return text;
}

}  // namespace lumen
