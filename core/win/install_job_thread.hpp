#pragma once
// The automatic install on a thread of its own, driven by the window: the
// window's thread stays in its message loop, so the window repaints and its
// close button answers at once whatever the network does. The progress and
// the end come back to the window's thread as posted tasks; the quit
// question holds and stops the job through the run's job control.

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "core/installer/installer.hpp"
#include "runtime/job_control.hpp"
#include "runtime/win/thread_mailbox.hpp"

namespace lumen::wizard {

class InstallJobThread {
 public:
  // What the job reports, run on the thread that made this object.
  struct Reports {
    std::function<void(const DownloadCount&)> progress;
    std::function<void(const install::InstallResult&)> ended;
  };

  InstallJobThread(install::Installer& installer, JobControl& control) noexcept
      : installer_(installer), control_(control) {}
  InstallJobThread(const InstallJobThread&) = delete;
  InstallJobThread& operator=(const InstallJobThread&) = delete;
  // A job still running is stopped and waited for.
  ~InstallJobThread();

  // Starts the install; one job at a time.
  void Start(install::InstallJob job, AppInfoRecord app, Reports reports);
  // Started and not yet reported ended.
  [[nodiscard]] bool Running() const noexcept { return running_; }
  // Waits at most `limit` for the job's thread to end; true when it has (or
  // none was started).
  [[nodiscard]] bool WaitForEnd(std::chrono::milliseconds limit);

 private:
  void Join() noexcept;

  install::Installer& installer_;
  JobControl& control_;
  win::ThreadMailbox mailbox_;
  std::future<void> ended_;
  bool running_ = false;
  // Last: its thread posts to the mailbox until it ends.
  std::thread thread_;
};

}  // namespace lumen::wizard
