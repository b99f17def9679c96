#include "runtime/win/timing.hpp"

#include <windows.h>

#include <algorithm>

namespace lumen {

void sleep_ms(std::int32_t milliseconds) { Sleep(static_cast<DWORD>(std::max(milliseconds, 0))); }

std::uint32_t tick_count() { return GetTickCount(); }

}  // namespace lumen
