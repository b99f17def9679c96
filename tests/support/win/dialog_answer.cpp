#include "tests/runtime/win/dialog_driver.hpp"

#include <chrono>
#include <cstring>

namespace lumen::test {
namespace {

BOOL CALLBACK find_own_dialog(HWND window, LPARAM context) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && std::strcmp(name, "#32770") == 0) {
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
  }
  return TRUE;
}

[[nodiscard]] HWND wait_for_dialog(std::chrono::milliseconds limit, const std::atomic<bool>& stopping) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!stopping && std::chrono::steady_clock::now() < deadline) {
    HWND dialog = nullptr;
    EnumWindows(find_own_dialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog != nullptr) return dialog;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  return nullptr;
}

}  // namespace

DialogDriver::DialogDriver(std::function<void(HWND)> act, std::chrono::milliseconds limit)
    : thread_([this, act = std::move(act), limit] {
        if (HWND dialog = wait_for_dialog(limit, stopping_)) {
          found_ = true;
          // Let the dialog finish setting itself up before it is driven.
          std::this_thread::sleep_for(std::chrono::milliseconds(200));
          act(dialog);
        }
      }) {}

DialogDriver::~DialogDriver() {
  stopping_ = true;
  thread_.join();
}

Window plain_window() {
  static constexpr const char* kClass = "LumenTestPlainWindow";
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = kClass;
  RegisterClassA(&window_class);  // fails harmlessly when already registered
  return Window(CreateWindowExA(0, kClass, "plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr));
}

}  // namespace lumen::test
