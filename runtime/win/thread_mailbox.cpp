#include "runtime/win/thread_mailbox.hpp"

#include <algorithm>

#include "runtime/win/window_property.hpp"

namespace lumen::win {
namespace {

constexpr const char* kClassName = "LumenThreadMailbox";
constexpr UINT kWake = WM_APP + 1;
constexpr WindowProperty<ThreadMailbox*> kOwner("LumenThreadMailbox");

[[nodiscard]] bool register_class(WNDPROC procedure) noexcept {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = kClassName;
  return RegisterClassExA(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

ThreadMailbox::ThreadMailbox() {
  if (!register_class(&ThreadMailbox::procedure)) return;
  // A message-only window: never shown, never enumerated, and it takes the
  // thread's messages like any other window.
  window_.reset(CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                                nullptr));
  if (window_ && !kOwner.set(window_.get(), this)) window_.reset();
}

ThreadMailbox::~ThreadMailbox() {
  if (window_) kOwner.remove(window_.get());
}

void ThreadMailbox::Post(int kind, Task task) {
  const std::lock_guard lock(mutex_);
  if (!window_) return;
  const auto same = std::find_if(waiting_.begin(), waiting_.end(), [kind](const auto& w) { return w.first == kind; });
  if (same != waiting_.end()) {
    same->second = std::move(task);
  } else {
    waiting_.emplace_back(kind, std::move(task));
  }
  if (!woken_) woken_ = PostMessageA(window_.get(), kWake, 0, 0) != FALSE;
}

void ThreadMailbox::RunWaitingTasks() noexcept {
  std::vector<std::pair<int, Task>> tasks;
  {
    const std::lock_guard lock(mutex_);
    tasks.swap(waiting_);
    woken_ = false;
  }
  for (auto& [kind, task] : tasks) task();
}

LRESULT CALLBACK ThreadMailbox::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == kWake) {
    if (ThreadMailbox* mailbox = kOwner.get(window)) mailbox->RunWaitingTasks();
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace lumen::win
