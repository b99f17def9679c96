// The floor for the installer's start-up: the least Win32 program that shows
// a window of the wizard's size, built exactly like the installer.

#include <windows.h>

namespace {

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = window_procedure;
  window_class.hInstance = instance;
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszClassName = "LumenWindowFloor";
  if (!RegisterClassA(&window_class)) return 1;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - 602) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - 480) / 2;
  HWND window = CreateWindowExA(0, window_class.lpszClassName, "floor", WS_POPUP | WS_VISIBLE, left, top, 600, 430,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
