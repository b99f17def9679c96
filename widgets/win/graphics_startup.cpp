#include "widgets/win/graphics_startup.hpp"

#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/win/window_property.hpp"
#include "widgets/win/gdiplus.hpp"

namespace lumen::widgets {

namespace {

constexpr char kTimeFrameDimension[] = "{6AEDBD6D-3FB5-418A-83A6-7F45229DC872}";

// What a loading window carries; its procedure releases each on destruction.
constexpr win::WindowProperty<HANDLE> kAnimationThread{"Lumen_Thread"};
constexpr win::WindowProperty<GpImage*> kAnimatedImage{"Lumen_Image"};
constexpr win::WindowProperty<HGLOBAL> kImageMemory{"Lumen_Stream"};
constexpr win::WindowProperty<std::int32_t> kDragAnywhere{"LumenHitMove"};

// How long a loading window waits for its animation thread to leave its
// message loop before it is ended by force: the thread must not draw from
// an image that is about to be released.
constexpr DWORD kAnimationStopWait = 2000;

std::uintptr_t start_graphics_library() noexcept {
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, no suppression
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 0;
  return token;
}

// The identifier text, read in the ANSI code page, as its 16-byte form; all
// zero when it cannot be parsed.
std::array<std::uint8_t, 16> parse_identifier(const char* text) noexcept {
  std::array<std::uint8_t, 16> bytes{};
  const int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (count <= 0) return bytes;
  std::vector<wchar_t> wide(static_cast<std::size_t>(count));
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), count);
  CLSID id{};
  if (SUCCEEDED(CLSIDFromString(wide.data(), &id))) std::memcpy(bytes.data(), &id, sizeof id);
  return bytes;
}

void register_loading_window_class() noexcept {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_VREDRAW | CS_HREDRAW;
  window_class.lpfnWndProc = LoadingWindowProcedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  window_class.lpszClassName = kLoadingWindowClass;
  RegisterClassExA(&window_class);
}

// Asks the animation thread to leave its message loop and waits for it.
void stop_animation_thread(HANDLE thread) noexcept {
  PostThreadMessageA(GetThreadId(thread), WM_QUIT, 0, 0);
  if (WaitForSingleObject(thread, kAnimationStopWait) == WAIT_TIMEOUT) TerminateThread(thread, 0);
  CloseHandle(thread);
}

void release_animation(HWND window) noexcept {
  if (HANDLE thread = kAnimationThread.remove(window)) stop_animation_thread(thread);
  if (GpImage* image = kAnimatedImage.remove(window)) gdip::GdipDisposeImage(image);
  if (HGLOBAL memory = kImageMemory.remove(window)) GlobalFree(memory);
}

}  // namespace

void StartGraphics(WidgetState& state) noexcept {
  if (state.graphicsToken == 0) state.graphicsToken = start_graphics_library();
}

void PrepareLoadingWindow(WidgetState& state) noexcept {
  state.loadingWindowGraphicsToken = start_graphics_library();
  state.frameDimension = parse_identifier(kTimeFrameDimension);
  register_loading_window_class();
}

LRESULT CALLBACK LoadingWindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  switch (message) {
    case WM_DESTROY:
      release_animation(window);
      return DefWindowProcA(window, message, wparam, lparam);
    case WM_LBUTTONDOWN: {
      const LRESULT result = DefWindowProcA(window, message, wparam, lparam);
      if (kDragAnywhere.get(window) == 1) {
        ReleaseCapture();
        SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      }
      return result;
    }
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace lumen::widgets
