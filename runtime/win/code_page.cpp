#include "runtime/code_page.hpp"

#include <windows.h>

#include <climits>
#include <string>

#include "runtime/win/wide_text.hpp"

namespace lumen {

std::optional<Text> text_from_utf8(std::string_view utf8) {
  if (utf8.empty()) return Text();
  if (utf8.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(utf8.size());
  const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), needed);
  return win::narrow(wide);
}

}  // namespace lumen
