#include "widgets/win/window_shadow.hpp"

#include "runtime/win/gdi_handles.hpp"
#include "runtime/win/window_property.hpp"
#include "widgets/shadow_rings.hpp"
#include "widgets/win/gdiplus.hpp"
#include "widgets/win/subclass.hpp"

namespace lumen::widgets {

namespace {

constexpr win::WindowProperty<HWND> kShadowWindow{"WndShadow"};
constexpr ProcedureProperty kOwnerProcedure{"WndShadow.Proc"};
constexpr win::WindowProperty<std::uint32_t> kShadowColour{"WndShadow.Color"};

constexpr DWORD kShadowExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT;
constexpr DWORD kShadowStyle = WS_POPUP | WS_VISIBLE;

HWND create_shadow_window(HWND owner) noexcept {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const char* window_class : {"SysShadow", "Static"}) {
    if (HWND shadow = CreateWindowExA(kShadowExStyle, window_class, "", kShadowStyle, 0, 0, 0, 0, owner, nullptr,
                                      instance, nullptr)) {
      return shadow;
    }
  }
  return nullptr;
}

HWND live_or_new_shadow(HWND owner) noexcept {
  HWND shadow = kShadowWindow.get(owner);
  if (shadow != nullptr && IsWindow(shadow)) return shadow;
  shadow = create_shadow_window(owner);
  (void)kShadowWindow.set(owner, shadow);
  return shadow;
}

// A zero size means the shadow window's own size.
void render_shadow(HWND shadow, int width, int height) noexcept {
  if (width == 0 || height == 0) {
    RECT own{};
    GetWindowRect(shadow, &own);
    width = own.right - own.left;
    height = own.bottom - own.top;
    if (width == 0 || height == 0) return;
  }
  const win::WindowDc screen(shadow);
  const win::MemoryDc memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width * height * 4);
  void* bits = nullptr;
  const win::BitmapHandle bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap) return;
  const win::SelectedObject selected(memory.get(), bitmap.get());
  DrawShadowRings(memory.get(), width, height, kShadowColour.get(shadow));
  SIZE size{width, height};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(shadow, screen.get(), nullptr, &size, memory.get(), &origin, 0, &blend, ULW_ALPHA);
}

// Puts the shadow around its owner and, when `draw`, draws it at that size.
void place(HWND owner, bool draw) noexcept {
  HWND shadow = kShadowWindow.get(owner);
  if (shadow == nullptr) return;
  RECT rect{};
  GetWindowRect(owner, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width == 0 || height == 0) return;
  const PixelRect around = shadow_around(rect.left, rect.top, width, height);
  MoveWindow(shadow, around.left, around.top, around.width, around.height, TRUE);
  if (draw) render_shadow(shadow, around.width, around.height);
}

// The rings depend on the size alone, so a move only moves them. A hidden
// owner is not drawn for: the sizes a window passes through while it is
// made are never seen, and it is drawn once, when it is shown.
LRESULT CALLBACK owner_procedure(HWND owner, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  switch (message) {
    case WM_MOVE:
      place(owner, false);
      break;
    case WM_SIZE:
      place(owner, IsWindowVisible(owner) != FALSE);
      break;
    case WM_SHOWWINDOW:
      if (wparam != FALSE) place(owner, true);
      break;
    case WM_NCDESTROY: {
      // The shadow goes with its owner; so do the owner's shadow properties.
      const WNDPROC previous = kOwnerProcedure.remove(owner);
      kShadowWindow.remove(owner);
      if (previous) return CallWindowProcA(previous, owner, message, wparam, lparam);
      return DefWindowProcA(owner, message, wparam, lparam);
    }
    default:
      break;
  }
  return pass_on(kOwnerProcedure, owner, message, wparam, lparam);
}

}  // namespace

void DrawShadowRings(HDC dc, int width, int height, COLORREF colour) noexcept {
  const GdiplusGraphics graphics = graphics_on(dc);
  if (!graphics) return;
  // Each outline filled as four strips: the same pixels as a 1-px pen, where
  // a pen's outline can cost some platforms a pass over the whole surface.
  for (const ShadowRing& ring : shadow_rings(width, height, colour)) {
    GpSolidFill* created = nullptr;
    if (gdip::GdipCreateSolidFill(ring.argb, &created) != Gdiplus::Ok) continue;
    const GdiplusBrush brush(created);
    for (const PixelRect& strip : ring_strips(ring)) {
      gdip::GdipFillRectangleI(graphics.get(), brush.get(), strip.left, strip.top, strip.width, strip.height);
    }
  }
}

bool AttachShadow(HWND owner, COLORREF colour) noexcept {
  if (!IsWindow(owner)) return false;
  HWND shadow = live_or_new_shadow(owner);
  if (shadow != nullptr) (void)kShadowColour.set(shadow, colour);
  place(owner, IsWindowVisible(owner) != FALSE);
  subclass_once(owner, kOwnerProcedure, owner_procedure);
  return true;
}

HWND ShadowOf(HWND owner) noexcept { return kShadowWindow.get(owner); }

}  // namespace lumen::widgets
