#pragma once
// Owner of a WinINet handle (session, connection, request or URL).

#include <windows.h>
#include <wininet.h>

#include "runtime/win/unique_handle.hpp"

namespace lumen::win {

using InternetHandle = UniqueHandle<NullHandleTraits<HINTERNET, &InternetCloseHandle>>;

}  // namespace lumen::win
