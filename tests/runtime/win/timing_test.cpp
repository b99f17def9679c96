#include "runtime/win/timing.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace lumen {
namespace {

// A negative wait must not turn into the system's "wait forever".
TEST(Timing, NegativeWaitsReturnAtOnceAndTheClockAdvances) {
  sleep_ms(-1);
  sleep_ms(std::numeric_limits<std::int32_t>::min());
  const std::uint32_t before = tick_count();
  sleep_ms(60);
  EXPECT_GE(tick_count() - before, 40u);
}

}  // namespace
}  // namespace lumen
