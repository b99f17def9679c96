#include "runtime/win/wide_text.hpp"

#include <climits>

namespace lumen::win {

std::wstring widen(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(kTextCodePage, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(kTextCodePage, 0, text.data(), length, wide.data(), needed);
  return wide;
}

Text narrow(std::wstring_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(kTextCodePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  Text bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(kTextCodePage, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

Bstr to_bstr(std::string_view text) {
  const std::wstring wide = widen(text);
  return Bstr(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

Text from_bstr(BSTR text) {
  if (text == nullptr) return {};
  return narrow(std::wstring_view(text, SysStringLen(text)));
}

}  // namespace lumen::win
