#pragma once
// Owner of a WinINet handle (session, connection, request or URL).

#include <windows.h>
#include <wininet.h>

#include "runtime/win/unique_handle.hpp"

namespace lumen::win {

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle none() noexcept { return nullptr; }
  static void close(Handle h) noexcept { InternetCloseHandle(h); }
};
using InternetHandle = UniqueHandle<InternetHandleTraits>;

}  // namespace lumen::win
