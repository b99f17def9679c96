#pragma once
// Plain top-level windows for the widget tests: a window class whose
// procedure fills the client area with one colour and records the messages
// it is given, so a test can see what a subclass passed on.

#include <windows.h>

#include <memory>
#include <vector>

#include "runtime/win/gdi_handles.hpp"
#include "widgets/win/gdiplus.hpp"

namespace lumen::widgets::test {

struct Recorded {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

// A visible pop-up of the given client colour at a screen position.
class TestWindow {
 public:
  TestWindow(int left, int top, int width, int height, COLORREF fill = RGB(0, 128, 0));
  [[nodiscard]] HWND get() const noexcept { return window_.get(); }
  [[nodiscard]] const std::vector<Recorded>& received() const noexcept { return data_->log; }
  void forget_received() noexcept { data_->log.clear(); }

 private:
  struct Data {
    COLORREF fill;
    std::vector<Recorded> log;
  };
  std::unique_ptr<Data> data_;  // before the window, which points at it
  win::WindowHandle window_;
};

// Dispatches whatever is queued for this thread, then waits a little for
// the window system to settle, a few times over.
void settle();

// An image of one colour, made in memory.
[[nodiscard]] GdiplusImage solid_image(int width, int height, Gdiplus::ARGB colour);

// The colour a window shows at a client point, read from the screen.
[[nodiscard]] COLORREF screen_pixel(HWND window, int x, int y);

}  // namespace lumen::widgets::test
