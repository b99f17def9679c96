#pragma once
// The user-interface thread's message dispatching.

namespace lumen {

// Dispatches messages until the last window is gone (a quit message arrives).
void run_message_loop();

}  // namespace lumen
