#include "runtime/win/message_loop.hpp"

#include <windows.h>

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

void run_message_loop() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) dispatch(message);
}

}  // namespace lumen
