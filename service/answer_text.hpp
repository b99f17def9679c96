#pragma once
// The service's answer as the program's text (code page 936), decoded by the
// charset the answer declares.

#include <string_view>

#include "runtime/byte_buffer.hpp"
#include "runtime/text.hpp"

namespace lumen {

// The body up to its first zero byte: UTF-8 when it starts with the UTF-8
// byte-order mark (which is dropped) or when the Content-Type's charset says
// so, converted to code page 936 (characters it lacks become "?"). A body
// that is not UTF-8 after all, byte-order mark or label notwithstanding, and
// any other body, with a charset of the GB family, an unknown one or none,
// is taken as it is.
[[nodiscard]] Text AnswerText(const ByteBuffer& body, std::string_view contentType);

}  // namespace lumen
