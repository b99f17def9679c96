#include "runtime/job_control.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace lumen {
namespace {

using namespace std::chrono_literals;

// Whether the job's look at the control, run on a thread of its own, is
// still waiting a moment later. Only "still waiting" can be wrong by timing
// here, and then only by passing a broken control.
template <typename Look>
bool still_waiting_after_a_moment(std::future<Look>& look) {
  return look.wait_for(50ms) == std::future_status::timeout;
}

TEST(JobControl, AHeldJobWaitsUntilReleasedAndThenGoesOn) {
  JobControl control;
  EXPECT_TRUE(control.Proceed()) << "a job nobody holds goes on";
  control.Hold();
  auto look = std::async(std::launch::async, [&] { return control.Proceed(); });
  EXPECT_TRUE(still_waiting_after_a_moment(look));
  control.Release();
  EXPECT_TRUE(look.get());
  EXPECT_FALSE(control.StopRequested());
}

TEST(JobControl, AStopReleasesAHeldJobToStop) {
  struct Case { const char* name; bool finishing_step; };
  for (const Case& c : {Case{"an ordinary step", false}, Case{"a step that must finish", true}}) {
    SCOPED_TRACE(c.name);
    JobControl control;
    control.Hold();
    auto look = std::async(std::launch::async, [&] {
      if (!c.finishing_step) return control.Proceed();
      control.WaitWhileHeld();
      return true;
    });
    EXPECT_TRUE(still_waiting_after_a_moment(look));
    control.Stop();
    EXPECT_EQ(look.get(), c.finishing_step) << "only the finishing step goes on after a stop";
    EXPECT_TRUE(control.StopRequested());
    control.Hold();
    EXPECT_FALSE(control.Proceed()) << "a stopped job is never held again";
  }
}

TEST(JobControl, AStopInterruptsTheStepThatRegisteredOnlyWhileItIsRegistered) {
  JobControl control;
  std::atomic<int> interrupted{0};
  {
    const JobControl::Interruptible waiting(control, [&] { ++interrupted; });
  }
  control.Stop();
  EXPECT_EQ(interrupted, 0) << "the step had ended";

  JobControl running;
  std::promise<void> entered;
  auto step = std::async(std::launch::async, [&] {
    std::atomic<bool> ended{false};
    const JobControl::Interruptible waiting(running, [&] { ended = true; });
    entered.set_value();
    while (!ended) std::this_thread::yield();  // a read that only the interrupt ends
    return true;
  });
  entered.get_future().wait();
  running.Stop();
  EXPECT_TRUE(step.get());

  // Registered after the stop: ended at once, never left waiting.
  bool at_once = false;
  const JobControl::Interruptible late(running, [&] { at_once = true; });
  EXPECT_TRUE(at_once);
}

}  // namespace
}  // namespace lumen
