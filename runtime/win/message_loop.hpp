#pragma once
// The user-interface thread's message dispatching.

namespace lumen {

// Dispatches pending window messages one by one until the queue is empty or a
// quit message is next (which stays queued), so the window repaints and its
// handlers run inside long work.
void process_events();

// Dispatches messages until the last window is gone (a quit message arrives).
void run_message_loop();

}  // namespace lumen
