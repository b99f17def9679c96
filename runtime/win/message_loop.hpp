#pragma once
// The user-interface thread's message dispatching.

#include <chrono>
#include <functional>

namespace lumen {

// Dispatches pending window messages one by one until the queue is empty or a
// quit message is next (which stays queued), so the window repaints and its
// handlers run inside long work.
void process_events();

// Dispatches messages until the last window is gone (a quit message arrives).
void run_message_loop();

// Runs `work` on a thread of its own while this thread goes on dispatching
// the window's messages, so the window repaints and its buttons answer at
// once whatever the work waits on. `tick` runs on this thread at least every
// `interval` meanwhile, and once more after the work has ended. Returns when
// the work has ended.
void run_alongside(const std::function<void()>& work, const std::function<void()>& tick,
                   std::chrono::milliseconds interval);

}  // namespace lumen
