#pragma once
// Time as the code that paces itself reads it: the system's steady clock for
// the running installer, a clock of their own for tests.

#include <chrono>

namespace lumen {

class Clock {
 public:
  Clock() = default;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;
  virtual ~Clock() = default;

  [[nodiscard]] virtual std::chrono::steady_clock::time_point now() = 0;
};

class SteadyClock final : public Clock {
 public:
  [[nodiscard]] std::chrono::steady_clock::time_point now() override { return std::chrono::steady_clock::now(); }
};

}  // namespace lumen
