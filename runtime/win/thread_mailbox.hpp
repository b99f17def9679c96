#pragma once
// Work handed to one thread's message loop from other threads: a task posted
// here runs on the thread that made the mailbox, the next time that thread
// dispatches its messages (in its own loop, a message box's or a dialog's).

#include <windows.h>

#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "runtime/win/gdi_handles.hpp"

namespace lumen::win {

class ThreadMailbox {
 public:
  using Task = std::function<void()>;

  // Made on the thread that is to run the tasks. Without its hidden window
  // (the system refused it) posts are dropped.
  ThreadMailbox();
  ThreadMailbox(const ThreadMailbox&) = delete;
  ThreadMailbox& operator=(const ThreadMailbox&) = delete;
  ~ThreadMailbox();

  // From any thread. A task of the same kind still waiting is replaced, so
  // that a fast sender (a progress count per block) never floods the loop:
  // only the latest of each kind runs. Kinds run in the order first posted.
  void Post(int kind, Task task);

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  void RunWaitingTasks() noexcept;

  std::mutex mutex_;
  std::vector<std::pair<int, Task>> waiting_;
  // A wake-up message is on its way and the tasks are not taken yet.
  bool woken_ = false;
  WindowHandle window_;
};

}  // namespace lumen::win
