#include "runtime/win/message_loop.hpp"

#include <windows.h>

#include <thread>

#include "runtime/win/unique_handle.hpp"

namespace lumen {

namespace {

// Tab and arrow keys move between the controls of a window that holds
// controls (WS_EX_CONTROLPARENT), as in a dialog.
bool handled_as_navigation(MSG& message) {
  HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  return root != nullptr && (GetWindowLongPtrA(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0 &&
         IsDialogMessageA(root, &message);
}

void dispatch(MSG& message) {
  if (handled_as_navigation(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace

void process_events() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (message.message == WM_QUIT) return;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    dispatch(message);
  }
}

void run_alongside(const std::function<void()>& work, const std::function<void()>& tick,
                   std::chrono::milliseconds interval) {
  const win::KernelHandle ended(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE ended_event = ended.get();
  std::thread worker([&work, ended_event] {
    work();
    SetEvent(ended_event);
  });
  const auto wait_ms = static_cast<DWORD>(interval.count());
  ULONGLONG last_tick = GetTickCount64();
  for (;;) {
    // A quit message left queued would wake the wait at once, every time.
    MSG quit{};
    const bool quitting = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
    const DWORD woke = quitting ? WaitForSingleObject(ended_event, wait_ms)
                                : MsgWaitForMultipleObjects(1, &ended_event, FALSE, wait_ms, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) break;
    process_events();
    if (GetTickCount64() - last_tick >= static_cast<ULONGLONG>(interval.count())) {
      tick();
      last_tick = GetTickCount64();
    }
  }
  worker.join();
  process_events();
  tick();
}

void run_message_loop() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) dispatch(message);
}

}  // namespace lumen
