#pragma once
// The hand-over between the thread that drives a long job (the window's,
// which asks the user things) and the job's own thread. The driver holds the
// job while a question is open, lets it go on, or stops it; the job looks
// between its steps, and a step that waits on the outside world (a read from
// the network) can be ended from the driver's side.

#include <condition_variable>
#include <functional>
#include <mutex>

namespace lumen {

class JobControl {
 public:
  JobControl() = default;
  JobControl(const JobControl&) = delete;
  JobControl& operator=(const JobControl&) = delete;

  // The driver's side.
  // The job goes no further than its next look until released.
  void Hold();
  void Release();
  // The job stops at its next look; a held job is released to stop, and
  // the step under way is interrupted when it registered a way to be. For
  // good: a stopped job stays stopped.
  void Stop();
  [[nodiscard]] bool StopRequested() const;

  // The job's side.
  // Waits while the job is held; true to go on, false once it is to stop.
  [[nodiscard]] bool Proceed();
  // Waits while the job is held, whatever a stop says: for the last steps
  // of a job that must not be left half done.
  void WaitWhileHeld();

  // While the returned registration lives, Stop() runs `interrupt` on the
  // stopping thread (at once when the job was already stopped) to end a
  // step that waits on the outside world. `interrupt` must be safe to run
  // alongside that step and must not call back into this control.
  class Interruptible {
   public:
    Interruptible(JobControl& control, std::function<void()> interrupt);
    Interruptible(const Interruptible&) = delete;
    Interruptible& operator=(const Interruptible&) = delete;
    ~Interruptible();

   private:
    JobControl& control_;
  };

 private:
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  bool stopped_ = false;
  std::function<void()> interrupt_;
};

}  // namespace lumen
