#include "service/answer_text.hpp"

#include <optional>

#include "http/content_type.hpp"
#include "runtime/code_page.hpp"
#include "runtime/convert.hpp"

namespace lumen {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

[[nodiscard]] bool names_utf8(std::string_view charset) noexcept { return charset == "utf-8" || charset == "utf8"; }

}  // namespace

Text AnswerText(const ByteBuffer& body, std::string_view contentType) {
  const Text bytes = to_text(body);
  const std::string_view text = bytes;
  // The byte-order mark is sure evidence, and a label can be wrong: a
  // service answering in code page 936 behind a web server that calls every
  // answer UTF-8 is common. Either way only bytes that are UTF-8 are read
  // as UTF-8.
  std::optional<Text> decoded;
  if (text.starts_with(kUtf8ByteOrderMark)) {
    decoded = text_from_utf8(text.substr(kUtf8ByteOrderMark.size()));
  } else if (names_utf8(CharsetOf(contentType))) {
    decoded = text_from_utf8(text);
  }
  return decoded.value_or(bytes);
}

}  // namespace lumen
