#pragma once
// Conversions between the program's texts (code page 936 bytes) and the
// UTF-16 strings of COM and of the wide Windows API, and an owner for the
// strings COM allocates.

#include <windows.h>
// After windows.h, whose types it uses.
#include <oleauto.h>

#include <string>
#include <string_view>

#include "runtime/text.hpp"
#include "runtime/win/unique_handle.hpp"

namespace lumen::win {

// The program's literals are compiled to code page 936 and the service answers
// in it, so conversions name it rather than following the system's ANSI page.
inline constexpr UINT kTextCodePage = 936;

// Bytes that are not valid code page 936 become the replacement character;
// characters that code page 936 lacks become "?".
[[nodiscard]] std::wstring widen(std::string_view text);
[[nodiscard]] Text narrow(std::wstring_view text);

using Bstr = UniqueHandle<NullHandleTraits<BSTR, &SysFreeString>>;

// A new COM string holding the text; empty (no string) only when out of memory.
[[nodiscard]] Bstr to_bstr(std::string_view text);
// A COM string's full length is taken, embedded zero characters included.
[[nodiscard]] Text from_bstr(BSTR text);

}  // namespace lumen::win
