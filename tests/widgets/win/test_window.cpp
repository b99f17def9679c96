#include "tests/widgets/win/test_window.hpp"


#include "runtime/win/window_property.hpp"

namespace lumen::widgets::test {

namespace {

constexpr win::WindowProperty<COLORREF*> kFill{"Test_Fill"};
constexpr win::WindowProperty<std::vector<Recorded>*> kLog{"Test_Log"};

LRESULT CALLBACK record_and_fill(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (auto* log = kLog.get(window)) log->push_back({message, wparam, lparam});
  if (message == WM_PAINT) {
    const win::PaintSession session(window);
    RECT client{};
    GetClientRect(window, &client);
    const COLORREF* fill = kFill.get(window);
    const win::BrushHandle brush(CreateSolidBrush(fill ? *fill : RGB(0, 128, 0)));
    FillRect(session.dc(), &client, brush.get());
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcA(window, message, wparam, lparam);
}

const char* test_window_class() {
  static const ATOM registered = [] {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = record_and_fill;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.lpszClassName = "LumenWidgetTestWindow";
    return RegisterClassA(&window_class);
  }();
  return registered ? "LumenWidgetTestWindow" : nullptr;
}

}  // namespace

TestWindow::TestWindow(int left, int top, int width, int height, COLORREF fill)
    : data_(std::make_unique<Data>(Data{fill, {}})),
      window_(CreateWindowExA(0, test_window_class(), "test", WS_POPUP, left, top, width, height, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr)) {
  (void)kFill.set(window_.get(), &data_->fill);
  (void)kLog.set(window_.get(), &data_->log);
  ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
  UpdateWindow(window_.get());
}


void settle() {
  for (int round = 0; round < 5; ++round) {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(40);
  }
}

GdiplusImage solid_image(int width, int height, Gdiplus::ARGB colour) {
  GpBitmap* bitmap = nullptr;
  if (gdip::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Gdiplus::Ok) {
    return {};
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) gdip::GdipBitmapSetPixel(bitmap, x, y, colour);
  }
  return GdiplusImage(bitmap);
}

COLORREF screen_pixel(HWND window, int x, int y) {
  POINT at{x, y};
  ClientToScreen(window, &at);
  const win::WindowDc screen(nullptr);
  return GetPixel(screen.get(), at.x, at.y);
}

}  // namespace lumen::widgets::test
