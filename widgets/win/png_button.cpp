#include "widgets/win/png_button.hpp"

#include <commctrl.h>

#include <array>
#include <string>

#include "runtime/win/gdi_handles.hpp"
#include "runtime/win/window_property.hpp"
#include "widgets/button_state.hpp"
#include "widgets/image_placement.hpp"
#include "widgets/win/memory_image.hpp"
#include "widgets/win/subclass.hpp"

namespace lumen::widgets {

namespace {

constexpr win::WindowProperty<std::int32_t> kControlType{"PngControl_Type"};
constexpr ProcedureProperty kPreviousProcedure{"PngControl_WndProc"};
constexpr win::WindowProperty<GpImage*> kNormalImage{"PngControl_NormalImage"};
constexpr win::WindowProperty<GpImage*> kOverImage{"PngControl_OverlImage"};
constexpr win::WindowProperty<GpImage*> kDownImage{"PngControl_DownImage"};
constexpr win::WindowProperty<GpImage*> kDisabledImage{"PngControl_DisableImage"};
constexpr win::WindowProperty<std::int32_t> kBackType{"PngControl_BackType"};
constexpr win::WindowProperty<HBITMAP> kCachedBackground{"PngControl_CacheBitmap"};
constexpr win::WindowProperty<ButtonState> kDrawState{"Lumen_DrawState"};
constexpr win::WindowProperty<std::int32_t> kHasFocus{"PngControl_IsFoucs"};
constexpr win::WindowProperty<std::uint32_t> kTextColour{"PngControl_TextColor"};
constexpr win::WindowProperty<std::int32_t> kHasToolTip{"Lumen_ToolTips"};

constexpr std::array kImageProperties = {&kNormalImage, &kOverImage, &kDownImage, &kDisabledImage};

const win::WindowProperty<GpImage*>& image_property(ImageSlot slot) noexcept {
  return *kImageProperties[static_cast<std::size_t>(slot)];
}

// The image for the button's state, or the normal image when that state has none.
GpImage* image_for(HWND control, ButtonState state) noexcept {
  if (GpImage* own = image_property(image_slot_for(state)).get(control)) return own;
  return kNormalImage.get(control);
}

SIZE window_size(HWND window) noexcept {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void draw_face(HWND control, GpGraphics* graphics, HBITMAP background, SIZE size) noexcept {
  GpBitmap* wrapped = nullptr;
  if (gdip::GdipCreateBitmapFromHBITMAP(background, nullptr, &wrapped) == Gdiplus::Ok) {
    gdip::GdipDrawImageRectI(graphics, wrapped, 0, 0, size.cx, size.cy);
    gdip::GdipDisposeImage(wrapped);
  }
  GpImage* image = image_for(control, kDrawState.get(control));
  if (image == nullptr) return;
  const ImageSize natural = image_size(image);
  const PixelRect at = place_image(kBackType.get(control), size.cx, size.cy, natural.width, natural.height);
  gdip::GdipDrawImageRectI(graphics, image, at.left, at.top, at.width, at.height);
}

// Composes the face off screen and copies it once, so the button never
// flickers. Nothing is drawn before the first paint captured a background.
void redraw(HWND control, HDC target = nullptr) noexcept {
  HBITMAP background = kCachedBackground.get(control);
  if (background == nullptr) return;
  const SIZE size = window_size(control);
  std::optional<win::WindowDc> own_dc;
  if (target == nullptr) target = own_dc.emplace(control).get();
  const win::MemoryDc memory(CreateCompatibleDC(target));
  const win::BitmapHandle canvas(CreateCompatibleBitmap(target, size.cx, size.cy));
  if (!memory || !canvas) return;
  const win::SelectedObject selected(memory.get(), canvas.get());
  if (const GdiplusGraphics graphics = graphics_on(memory.get())) {
    draw_face(control, graphics.get(), background, size);
  }
  BitBlt(target, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
}

// Keeps what the paint context shows now (the parent's drawing under the
// button) as the background of every redraw until the next paint.
void capture_background(HWND control, HDC dc) noexcept {
  const SIZE size = window_size(control);
  win::BitmapHandle copy(CreateCompatibleBitmap(dc, size.cx, size.cy));
  const win::MemoryDc memory(CreateCompatibleDC(dc));
  if (!copy || !memory) return;
  {
    const win::SelectedObject selected(memory.get(), copy.get());
    BitBlt(memory.get(), 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
  }
  if (HBITMAP previous = kCachedBackground.get(control)) DeleteObject(previous);
  (void)kCachedBackground.set(control, copy.release());
}

void paint(HWND control) noexcept {
  const win::PaintSession session(control);
  capture_background(control, session.dc());
  redraw(control, session.dc());
}

void set_state(HWND control, ButtonState state) noexcept {
  (void)kDrawState.set(control, state);
  redraw(control);
}

void apply(HWND control, ButtonInput input) noexcept {
  const ButtonStep step = next_button_step(kDrawState.get(control), input, kHasFocus.get(control) == 1);
  if (step.track_leave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, control, 0};
    TrackMouseEvent(&track);
  }
  if (step.state) set_state(control, *step.state);
}

// Images, the cached background and the properties go with the button.
void release_button_state(HWND control) noexcept {
  for (const auto* property : kImageProperties) {
    if (GpImage* image = property->remove(control)) gdip::GdipDisposeImage(image);
  }
  if (HBITMAP background = kCachedBackground.remove(control)) DeleteObject(background);
  kControlType.remove(control);
  kBackType.remove(control);
  kDrawState.remove(control);
  kHasFocus.remove(control);
  kHasToolTip.remove(control);
}

LRESULT CALLBACK button_procedure(HWND control, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  auto pass = [&] { return pass_on(kPreviousProcedure, control, message, wparam, lparam); };
  switch (message) {
    case WM_PAINT:
      paint(control);
      return 0;
    case WM_NCPAINT:
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      const LRESULT result = pass();
      apply(control, ButtonInput::PointerMoved);
      return result;
    }
    case WM_MOUSELEAVE: {
      const LRESULT result = pass();
      apply(control, ButtonInput::PointerLeft);
      return result;
    }
    case WM_LBUTTONDOWN: {
      const LRESULT result = pass();
      apply(control, ButtonInput::LeftDown);
      return result;
    }
    case WM_LBUTTONUP: {
      // The button's own procedure resets its pushed state while handling
      // the release; the press being ended is the one before that.
      const ButtonState before = kDrawState.get(control);
      const LRESULT result = pass();
      if (const auto next = next_button_step(before, ButtonInput::LeftUp, false).state) set_state(control, *next);
      return result;
    }
    case WM_SETFOCUS:
      (void)kHasFocus.set(control, 1);
      apply(control, ButtonInput::FocusGained);
      return 0;
    case WM_KILLFOCUS:
      (void)kHasFocus.set(control, 0);
      apply(control, ButtonInput::FocusLost);
      return 0;
    case WM_ENABLE: {
      const LRESULT result = pass();
      apply(control, wparam ? ButtonInput::Enabled : ButtonInput::Disabled);
      return result;
    }
    case BM_SETSTATE: {
      const LRESULT result = pass();
      const ButtonStep step = next_button_step(kDrawState.get(control),
                                               wparam == 1 ? ButtonInput::PushedState : ButtonInput::ReleasedState,
                                               kHasFocus.get(control) == 1);
      if (step.state && *step.state != kDrawState.get(control)) set_state(control, *step.state);
      redraw(control);
      return result;
    }
    case WM_NCDESTROY: {
      release_button_state(control);
      const WNDPROC previous = kPreviousProcedure.remove(control);
      if (previous) return CallWindowProcA(previous, control, message, wparam, lparam);
      return DefWindowProcA(control, message, wparam, lparam);
    }
    default:
      return pass();
  }
}

bool is_edit_scroll_or_change(WORD code) noexcept {
  return code == EN_VSCROLL || code == EN_HSCROLL || code == EN_CHANGE;
}

LRESULT CALLBACK parent_procedure(HWND parent, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  switch (message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header != nullptr && kControlType.get(header->hwndFrom) == kImageButtonType &&
          header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        redraw(header->hwndFrom);
      }
      break;
    }
    case WM_COMMAND: {
      const auto sender = reinterpret_cast<HWND>(lparam);
      if (sender != nullptr && kControlType.get(sender) == kTransparentTextType &&
          is_edit_scroll_or_change(HIWORD(wparam))) {
        InvalidateRect(sender, nullptr, TRUE);
      }
      break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: {
      const auto control = reinterpret_cast<HWND>(lparam);
      const std::int32_t type = kControlType.get(control);
      if (type == 0) break;
      const auto dc = reinterpret_cast<HDC>(wparam);
      if (type == kTransparentTextType) SetTextColor(dc, kTextColour.get(control));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_NCDESTROY: {
      const WNDPROC previous = kPreviousProcedure.remove(parent);
      if (previous) return CallWindowProcA(previous, parent, message, wparam, lparam);
      return DefWindowProcA(parent, message, wparam, lparam);
    }
    default:
      break;
  }
  return pass_on(kPreviousProcedure, parent, message, wparam, lparam);
}

HWND shared_tooltip(WidgetState& state) noexcept {
  if (state.tooltipWindow != 0) return reinterpret_cast<HWND>(state.tooltipWindow);
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
  if (tooltip == nullptr) return nullptr;
  SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, 1024);
  state.tooltipWindow = reinterpret_cast<std::uintptr_t>(tooltip);
  return tooltip;
}

}  // namespace

bool PngButton::Attach(HWND control) noexcept {
  if (!IsWindow(control)) return false;
  HWND parent = GetParent(control);
  if (parent != nullptr && !kControlType.has(parent)) subclass_once(parent, kPreviousProcedure, parent_procedure);
  change_style(control, GWL_STYLE, WS_CLIPSIBLINGS, 0);
  change_style(control, GWL_EXSTYLE, 0, WS_EX_TRANSPARENT);
  if (parent != nullptr) change_style(parent, GWL_STYLE, WS_CLIPCHILDREN, 0);
  control_ = control;
  return true;
}

bool PngButton::SetProperty(const char* name, std::intptr_t value) const noexcept {
  return SetPropA(control_, name, reinterpret_cast<HANDLE>(value)) != FALSE;
}

std::intptr_t PngButton::GetProperty(const char* name) const noexcept {
  return reinterpret_cast<std::intptr_t>(GetPropA(control_, name));
}

LRESULT PngButton::Send(UINT message, WPARAM wparam, LPARAM lparam) const noexcept {
  return SendMessageA(control_, message, wparam, lparam);
}

void PngButton::SetToolTip(WidgetState& state, std::string_view text, bool atCursor) const noexcept {
  HWND tooltip = shared_tooltip(state);
  if (tooltip == nullptr) return;
  std::string tip(text);
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = control_;
  tool.uId = 0;
  tool.lpszText = tip.data();
  if (kHasToolTip.has(control_)) {
    SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  (void)kHasToolTip.set(control_, 1);
  tool.uFlags = TTF_SUBCLASS | (atCursor ? 0u : static_cast<UINT>(TTF_CENTERTIP));
  GetClientRect(control_, &tool.rect);
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void PngButton::SetBounds(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                          std::optional<int> height, bool noRedraw) const noexcept {
  RECT rect{};
  GetWindowRect(control_, &rect);
  POINT corner{rect.left, rect.top};
  ScreenToClient(GetParent(control_), &corner);
  UINT flags = SWP_NOZORDER;
  if (noRedraw) flags |= SWP_NOREDRAW;
  if (!left && !top) flags |= SWP_NOMOVE;
  if (!width && !height) flags |= SWP_NOSIZE;
  SetWindowPos(control_, nullptr, left.value_or(corner.x), top.value_or(corner.y),
               width.value_or(rect.right - rect.left), height.value_or(rect.bottom - rect.top), flags);
}

void PngButton::Invalidate() const noexcept { InvalidateRect(control_, nullptr, FALSE); }

HWND PngButton::Create(HWND parent, int left, int top, int width, int height, std::string_view caption) noexcept {
  const std::string text(caption);
  HWND control = CreateWindowExA(WS_EX_TRANSPARENT, "Button", text.c_str(), WS_CHILD | WS_VISIBLE, left, top, width,
                                 height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (control != nullptr) (void)MakeImageButton(control);
  return control;
}

bool PngButton::MakeImageButton(HWND control, GdiplusImage normal) noexcept {
  if (!Attach(control)) return false;
  (void)kControlType.set(control, kImageButtonType);
  if (normal) SetImages(std::move(normal));
  change_style(control, GWL_STYLE, 0, BS_OWNERDRAW);
  subclass_once(control, kPreviousProcedure, button_procedure);
  RECT rect{};
  GetWindowRect(control, &rect);
  HWND parent = GetParent(control);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  InvalidateRect(parent, &rect, FALSE);
  Invalidate();
  return true;
}

void PngButton::SetImages(std::optional<GdiplusImage> normal, std::optional<GdiplusImage> over,
                          std::optional<GdiplusImage> down, std::optional<GdiplusImage> disabled) const noexcept {
  std::optional<GdiplusImage>* given[] = {&normal, &over, &down, &disabled};
  for (std::size_t i = 0; i < kImageProperties.size(); ++i) {
    if (!*given[i]) continue;
    if (GpImage* old = kImageProperties[i]->remove(control_)) gdip::GdipDisposeImage(old);
    if (GpImage* image = (*given[i])->release()) (void)kImageProperties[i]->set(control_, image);
  }
}

void PngButton::SetImageBytes(const WidgetState& state, ImageBytes normal, ImageBytes over, ImageBytes down,
                              ImageBytes disabled) const noexcept {
  auto load = [&](const ImageBytes& bytes) -> std::optional<GdiplusImage> {
    if (!bytes) return std::nullopt;
    return LoadImageFromBytes(*bytes, state);
  };
  SetImages(load(normal), load(over), load(down), load(disabled));
}

void PngButton::SetBackType(std::int32_t mode) const noexcept { (void)kBackType.set(control_, mode); }

}  // namespace lumen::widgets
