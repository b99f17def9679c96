#include "service/answer_text.hpp"

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
  // The byte-order mark is sure evidence; a label can be wrong.
  if (text.starts_with(kUtf8ByteOrderMark)) {
    return text_from_utf8(text.substr(kUtf8ByteOrderMark.size())).value_or(Text());
  }
  if (names_utf8(CharsetOf(contentType))) return text_from_utf8(text).value_or(Text());
  return bytes;
}

}  // namespace lumen
