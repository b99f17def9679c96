#include "core/win/install_job_thread.hpp"

#include <utility>

namespace lumen::wizard {
namespace {

// The kinds of task the job posts: only the latest count is worth showing.
enum TaskKind : int { kProgressTask, kEndTask };

}  // namespace

InstallJobThread::~InstallJobThread() {
  if (!thread_.joinable()) return;
  if (!WaitForEnd(std::chrono::milliseconds(0))) control_.Stop();
  thread_.join();
}

void InstallJobThread::Start(install::InstallJob job, AppInfoRecord app, Reports reports) {
  Join();
  std::promise<void> ended;
  ended_ = ended.get_future();
  running_ = true;
  thread_ = std::thread([this, job = std::move(job), app = std::move(app), reports = std::move(reports),
                         ended = std::move(ended)]() mutable {
    const install::InstallResult result = installer_.Install(job, app, [&](const DownloadCount& count) {
      mailbox_.Post(kProgressTask, [progress = reports.progress, count] { progress(count); });
    });
    mailbox_.Post(kEndTask, [this, ended_report = reports.ended, result] {
      running_ = false;
      Join();
      ended_report(result);
    });
    ended.set_value();
  });
}

bool InstallJobThread::WaitForEnd(std::chrono::milliseconds limit) {
  return !ended_.valid() || ended_.wait_for(limit) == std::future_status::ready;
}

// Once the job said it ended, its thread is about to return.
void InstallJobThread::Join() noexcept {
  if (thread_.joinable()) thread_.join();
}

}  // namespace lumen::wizard
