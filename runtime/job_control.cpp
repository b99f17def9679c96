#include "runtime/job_control.hpp"

#include <utility>

namespace lumen {

void JobControl::Hold() {
  const std::lock_guard lock(mutex_);
  if (!stopped_) held_ = true;
}

void JobControl::Release() {
  {
    const std::lock_guard lock(mutex_);
    held_ = false;
  }
  released_.notify_all();
}

void JobControl::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    held_ = false;
    // Under the lock: the registration cannot end, and its step be gone,
    // while the interrupt runs.
    if (interrupt_) interrupt_();
  }
  released_.notify_all();
}

bool JobControl::StopRequested() const {
  const std::lock_guard lock(mutex_);
  return stopped_;
}

bool JobControl::Proceed() {
  std::unique_lock lock(mutex_);
  released_.wait(lock, [this] { return !held_; });
  return !stopped_;
}

void JobControl::WaitWhileHeld() {
  std::unique_lock lock(mutex_);
  released_.wait(lock, [this] { return !held_; });
}

JobControl::Interruptible::Interruptible(JobControl& control, std::function<void()> interrupt) : control_(control) {
  const std::lock_guard lock(control_.mutex_);
  if (control_.stopped_) {
    interrupt();
    return;
  }
  control_.interrupt_ = std::move(interrupt);
}

JobControl::Interruptible::~Interruptible() {
  const std::lock_guard lock(control_.mutex_);
  control_.interrupt_ = nullptr;
}

}  // namespace lumen
