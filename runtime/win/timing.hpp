#pragma once
// Waiting and the system's millisecond clock.

#include <cstdint>

namespace lumen {

// Blocks the calling thread; a negative time waits 0 ms (never forever).
void sleep_ms(std::int32_t milliseconds);

// Milliseconds since the system started, wrapping after about 49.7 days.
[[nodiscard]] std::uint32_t tick_count();

}  // namespace lumen
