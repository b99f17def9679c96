#include "runtime/win/forms/form.hpp"

#include <commctrl.h>

#include <algorithm>
#include <cassert>

#include "runtime/button_face.hpp"
#include "runtime/win/window_property.hpp"

namespace lumen::forms {

namespace {

constexpr const char* kFormClass = "LumenForm";
constexpr const char* kPanelClass = "LumenPanel";
constexpr UINT_PTR kHoverSubclass = 1;
constexpr UINT_PTR kFlatBarSubclass = 2;
// The form's own closing (close_window), which no close request from outside
// can be taken for.
constexpr UINT kCloseNow = WM_APP + 7;

constexpr win::WindowProperty<Form*> kOwningForm{"LumenForm"};
// Which control a panel window is, plus one; 0 on the top-level window.
constexpr win::WindowProperty<std::int32_t> kHostNumber{"LumenForm_Host"};

struct HostCreation {
  Form* form;
  std::int32_t host_number;
};

RECT to_rect(const Rect& r) noexcept { return {r.left, r.top, r.right, r.bottom}; }

void register_host_class(const char* name, WNDPROC procedure) noexcept {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.lpszClassName = name;
  RegisterClassExA(&window_class);  // fails harmlessly when already registered
}

BOOL CALLBACK count_other_forms(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<std::pair<HWND, int>*>(context);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (window != search->first && std::string_view(name) == kFormClass) ++search->second;
  return TRUE;
}

// True when no other form window of this thread remains.
bool is_last_form(HWND closing) noexcept {
  std::pair<HWND, int> search{closing, 0};
  EnumThreadWindows(GetCurrentThreadId(), count_other_forms, reinterpret_cast<LPARAM>(&search));
  return search.second == 0;
}

int modifiers_of(WPARAM keys) noexcept {
  int held = 0;
  if (keys & MK_CONTROL) held |= kCtrl;
  if (keys & MK_SHIFT) held |= kShift;
  if (GetKeyState(VK_MENU) < 0) held |= kAlt;
  return held;
}

struct WindowKind {
  const char* window_class;
  DWORD style;
  DWORD ex_style;
};

WindowKind window_kind_of(const ControlDesign& c) noexcept {
  const DWORD tab = c.tab_stop ? WS_TABSTOP : 0;
  const DWORD child = WS_CHILD | WS_CLIPSIBLINGS | tab;
  switch (c.kind) {
    case ControlKind::SuperBtn: return {"BUTTON", child | BS_OWNERDRAW, 0};
    case ControlKind::Button: return {"BUTTON", child | BS_PUSHBUTTON, 0};
    case ControlKind::CheckBox: return {"BUTTON", child | BS_AUTOCHECKBOX, 0};
    case ControlKind::ProcessBar: return {PROGRESS_CLASSA, child | PBS_SMOOTH, 0};
    case ControlKind::EditBox: {
      DWORD style = child | (c.edit.read_only ? ES_READONLY : 0);
      style |= c.edit.multi_line ? ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL : ES_AUTOHSCROLL;
      if (c.edit.vertical_scroll_bar) style |= WS_VSCROLL;
      return {"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case ControlKind::ShapeBox: return {kPanelClass, child | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::PicBox:
    case ControlKind::TransLabel:
    case ControlKind::Tab:
    case ControlKind::CommonDlg:
      break;
  }
  return {nullptr, 0, 0};
}

// The progress bar is drawn edge to edge without a frame. The control gives
// itself a static edge as it is created, which is taken off again, and a
// visual style would frame the bar inside it, so the bar paints itself: the
// filled part in the highlight colour, the rest in the window colour.
void remove_static_edge(HWND window) noexcept {
  SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_STATICEDGE});
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void paint_flat_bar(HWND window) noexcept {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT filled;
  GetClientRect(window, &filled);
  RECT rest = filled;
  PBRANGE range{};
  SendMessageA(window, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  const int position = static_cast<int>(SendMessageA(window, PBM_GETPOS, 0, 0));
  const int span = range.iHigh - range.iLow;
  const int width = filled.right - filled.left;
  filled.right = filled.left + (span > 0 ? MulDiv(width, position - range.iLow, span) : 0);
  rest.left = filled.right;
  FillRect(dc, &filled, GetSysColorBrush(COLOR_HIGHLIGHT));
  FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
  EndPaint(window, &paint);
}

LRESULT CALLBACK flat_bar_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                    DWORD_PTR) noexcept {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint_flat_bar(window);
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, flat_bar_procedure, kFlatBarSubclass);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

// Text centred both ways in a box, wrapped at word boundaries.
void draw_centred_caption(HDC dc, std::string_view text, RECT box) noexcept {
  RECT measured = box;
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &measured,
            DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
  const int height = measured.bottom - measured.top;
  box.top += std::max(0L, (box.bottom - box.top - height) / 2);
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &box, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}

}  // namespace

Form::Form(const FormDesign& design, Handlers handlers)
    : design_(design), layout_(design), handlers_(std::move(handlers)) {
  for ([[maybe_unused]] const EventBinding& binding : design_.events) {
    assert(binding.handler >= 0 && static_cast<std::size_t>(binding.handler) < handlers_.size() &&
           handlers_[static_cast<std::size_t>(binding.handler)] && "a binding names a handler the form lacks");
  }
  states_.resize(layout_.size());
  for (ControlIndex i = 0; i < layout_.size(); ++i) {
    states_[i].text = Text(layout_.control(i).text);
    states_[i].looks = layout_.control(i).looks;
  }
}

Form::~Form() { window_.reset(); }

ControlRef Form::control(std::string_view name) noexcept {
  const std::optional<ControlIndex> index = layout_.index_of(name);
  assert(index && "no control of that name in the design");
  return {this, index};
}

bool Form::create() {
  if (window_) return true;
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  register_host_class(kFormClass, host_procedure);
  register_host_class(kPanelClass, host_procedure);

  const int left = (GetSystemMetrics(SM_CXSCREEN) - design_.width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - design_.height) / 2;
  HostCreation creation{this, 0};
  const std::string title(design_.name);
  window_.reset(CreateWindowExA(WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, kFormClass, title.c_str(),
                                WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, left, top, design_.width,
                                design_.height, nullptr, nullptr, GetModuleHandleA(nullptr), &creation));
  if (!window_ || !create_controls()) {
    window_.reset();
    return false;
  }
  stack_windows();
  return true;
}

void Form::open(Pictures pictures) {
  assert(window_ && "the window is made before it is opened");
  pictures_ = std::move(pictures);
  dispatch({}, Event::Created);
  if (!window_) return;  // the creation handler closed it
  ShowWindow(window_.get(), SW_SHOW);
  UpdateWindow(window_.get());
}

void Form::close() const noexcept {
  if (window_) PostMessageA(window_.get(), kCloseNow, 0, 0);
}

void Form::set_title(std::string_view title) const {
  const std::string text(title);
  SetWindowTextA(window_.get(), text.c_str());
}

void Form::set_size(int width, int height) const noexcept {
  SetWindowPos(window_.get(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::set_position_state(WindowState state) const noexcept {
  switch (state) {
    case WindowState::Normal: ShowWindow(window_.get(), SW_RESTORE); return;
    case WindowState::Maximised: ShowWindow(window_.get(), SW_MAXIMIZE); return;
    case WindowState::Minimised: ShowWindow(window_.get(), SW_MINIMIZE); return;
  }
}

void Form::hide() const noexcept { ShowWindow(window_.get(), SW_HIDE); }

bool Form::create_controls() {
  for (ControlIndex i = 0; i < layout_.size(); ++i) {
    if (is_windowed(layout_.control(i)) && !states_[i].window && !create_control(i)) return false;
  }
  return true;
}

HWND Form::create_control(ControlIndex i) {
  const ControlDesign& c = layout_.control(i);
  const std::optional<ControlIndex> host = layout_.host_of(i);
  if (host && !states_[*host].window && !create_control(*host)) return nullptr;
  const WindowKind kind = window_kind_of(c);
  const Rect at = layout_.rect_in_host(i);
  const DWORD visible = shows_window(i) ? WS_VISIBLE : 0;
  const DWORD disabled = layout_.enabled(i) ? 0 : WS_DISABLED;
  const std::string text(c.text);
  HostCreation creation{this, static_cast<std::int32_t>(i + 1)};
  HWND window = CreateWindowExA(kind.ex_style, kind.window_class, text.c_str(), kind.style | visible | disabled,
                                at.left, at.top, at.right - at.left, at.bottom - at.top, host_window(host), nullptr,
                                GetModuleHandleA(nullptr), &creation);
  if (window == nullptr) return nullptr;
  states_[i].window = window;
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.get(c.font, c.underline)), FALSE);
  switch (c.kind) {
    case ControlKind::CheckBox:
      SendMessageA(window, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlKind::ProcessBar:
      remove_static_edge(window);
      SetWindowSubclass(window, flat_bar_procedure, kFlatBarSubclass, 0);
      SendMessageA(window, PBM_SETRANGE32, 0, 100);
      SendMessageA(window, PBM_SETPOS, 0, 0);
      break;
    case ControlKind::SuperBtn:
      SetWindowSubclass(window, hover_procedure, kHoverSubclass, reinterpret_cast<DWORD_PTR>(this));
      break;
    default:
      break;
  }
  return window;
}

HWND Form::host_window(std::optional<ControlIndex> host) const noexcept {
  return host ? states_[*host].window : window_.get();
}

void Form::stack_windows() const noexcept {
  std::vector<std::optional<ControlIndex>> hosts{std::nullopt};
  for (ControlIndex i = 0; i < layout_.size(); ++i) {
    if (is_windowed(layout_.control(i))) hosts.emplace_back(i);
  }
  for (const std::optional<ControlIndex>& host : hosts) {
    // Raising each from the bottom up leaves the first one listed on top.
    const std::vector<ControlIndex> windows = layout_.windows_of(host);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
      SetWindowPos(states_[*it].window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void Form::sync_windows() noexcept {
  for (ControlIndex i = 0; i < layout_.size(); ++i) {
    HWND window = states_[i].window;
    if (window == nullptr) continue;
    const Rect at = layout_.rect_in_host(i);
    SetWindowPos(window, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (shows_window(i) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
  RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool Form::shows_window(ControlIndex i) const { return layout_.shown(i) && !layout_.covered(i); }

void Form::invalidate_drawn(ControlIndex i) const noexcept {
  const RECT rect = to_rect(layout_.rect_in_host(i));
  InvalidateRect(host_window(layout_.host_of(i)), &rect, FALSE);
}

std::optional<ControlIndex> Form::index_of_window(HWND window) const noexcept {
  if (window == nullptr) return std::nullopt;
  for (ControlIndex i = 0; i < states_.size(); ++i) {
    if (states_[i].window == window) return i;
  }
  return std::nullopt;
}

const Picture* Form::picture(std::string_view name) const noexcept {
  if (name.empty()) return nullptr;
  const auto found = pictures_.find(name);
  return found == pictures_.end() ? nullptr : found->second.get();
}

HBRUSH Form::brush(Colour colour) {
  auto [at, added] = brushes_.try_emplace(colour);
  if (added) at->second.reset(CreateSolidBrush(colour));
  return at->second.get();
}

bool Form::binds(std::string_view control, Event event) const noexcept {
  for (const EventBinding& binding : design_.events) {
    if (binding.control == control && binding.event == event) return true;
  }
  return false;
}

void Form::dispatch(std::string_view control, Event event, const std::optional<PointerPress>& press) {
  for (const EventBinding& binding : design_.events) {
    if (binding.control != control || binding.event != event) continue;
    const auto id = static_cast<std::size_t>(binding.handler);
    if (id < handlers_.size() && handlers_[id]) handlers_[id](press);
  }
}

// Only what the paint asks for is drawn: a label's new text repaints the
// label's box, not the window. What lies under everything else (the
// background and the pictures at the bottom, such as a scaled banner) comes
// from a bitmap made once, so no repaint scales an image again.
void Form::paint_host(HWND host, std::optional<ControlIndex> host_index, HDC dc, const RECT& area) noexcept {
  RECT client{};
  GetClientRect(host, &client);
  const std::vector<ControlIndex> painted = layout_.painted_by(host_index);
  const auto first_above = std::find_if(painted.begin(), painted.end(), [&](ControlIndex i) {
    return layout_.control(i).kind != ControlKind::PicBox || !layout_.shown(i);
  });
  const std::vector<ControlIndex> bottom(painted.begin(), first_above);
  HBITMAP base = base_layer(host_index, dc, client, bottom);
  const win::MemoryDc memory(CreateCompatibleDC(dc));
  const win::MemoryDc base_dc(CreateCompatibleDC(dc));
  const win::BitmapHandle canvas(CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (!memory || !base_dc || !canvas || base == nullptr) return;
  const win::SelectedObject selected(memory.get(), canvas.get());
  {
    const win::SelectedObject base_selected(base_dc.get(), base);
    BitBlt(memory.get(), area.left, area.top, area.right - area.left, area.bottom - area.top, base_dc.get(), area.left,
           area.top, SRCCOPY);
  }
  IntersectClipRect(memory.get(), area.left, area.top, area.right, area.bottom);
  for (auto it = first_above; it != painted.end(); ++it) {
    RECT box = to_rect(layout_.rect_in_host(*it));
    RECT overlap{};
    if (layout_.shown(*it) && IntersectRect(&overlap, &box, &area)) paint_drawn(memory.get(), *it);
  }
  BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory.get(), area.left, area.top,
         SRCCOPY);
}

HBITMAP Form::base_layer(std::optional<ControlIndex> host_index, HDC dc, const RECT& client,
                         const std::vector<ControlIndex>& bottom) noexcept {
  BaseLayer& layer = base_layers_[host_index];
  if (layer.bitmap && layer.width == client.right && layer.height == client.bottom && layer.controls == bottom) {
    return layer.bitmap.get();
  }
  const win::MemoryDc memory(CreateCompatibleDC(dc));
  win::BitmapHandle bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (!memory || !bitmap) return nullptr;
  {
    const win::SelectedObject selected(memory.get(), bitmap.get());
    const Colour background =
        host_index ? layout_.control(*host_index).back_colour.value_or(design_.background) : design_.background;
    FillRect(memory.get(), &client, brush(background));
    for (ControlIndex i : bottom) paint_drawn(memory.get(), i);
  }
  layer = {std::move(bitmap), client.right, client.bottom, bottom};
  return layer.bitmap.get();
}

void Form::paint_drawn(HDC dc, ControlIndex i) noexcept {
  const ControlDesign& c = layout_.control(i);
  RECT box = to_rect(layout_.rect_in_host(i));
  if (c.back_colour) FillRect(dc, &box, brush(*c.back_colour));
  switch (c.kind) {
    case ControlKind::PicBox:
      if (const Picture* image = picture(c.normal_image)) image->draw(dc, box);
      break;
    case ControlKind::TransLabel: {
      const win::SelectedObject font(dc, fonts_.get(c.font, c.underline));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, c.text_colour);
      const Text& text = states_[i].text;
      DrawTextA(dc, text.data(), static_cast<int>(text.size()), &box,
                DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
      break;
    }
    case ControlKind::ShapeBox:
      if (c.outline_colour) FrameRect(dc, &box, brush(*c.outline_colour));
      break;
    default:
      break;
  }
}

void Form::draw_flat_button(const DRAWITEMSTRUCT& item, ControlIndex i) noexcept {
  const ControlDesign& c = layout_.control(i);
  const ControlState& state = states_[i];
  const ButtonFace face = button_face(!(item.itemState & ODS_DISABLED), state.pointer_over,
                                      (item.itemState & ODS_SELECTED) != 0, (item.itemState & ODS_FOCUS) != 0);
  const Look& look = state.looks[static_cast<std::size_t>(face.look - 1)];
  const int width = item.rcItem.right - item.rcItem.left;
  const int height = item.rcItem.bottom - item.rcItem.top;
  const win::MemoryDc memory(CreateCompatibleDC(item.hDC));
  const win::BitmapHandle canvas(CreateCompatibleBitmap(item.hDC, width, height));
  if (!memory || !canvas) return;
  const win::SelectedObject selected(memory.get(), canvas.get());
  RECT box{0, 0, width, height};
  FillRect(memory.get(), &box, brush(look.back));

  const Picture* normal = picture(c.normal_image);
  const Picture* over = picture(c.over_image);
  const Picture* image = face.image == FaceImage::Over ? (over ? over : normal) : (normal ? normal : over);
  if (image != nullptr) {
    if (face.embossed) {
      image->draw_disabled(memory.get(), box);
    } else {
      image->draw(memory.get(), box);
    }
  }

  const win::SelectedObject font(memory.get(), fonts_.get(c.font, c.underline));
  SetBkMode(memory.get(), TRANSPARENT);
  const Text& caption = state.text;
  if (face.embossed) {
    SetTextColor(memory.get(), GetSysColor(COLOR_3DHILIGHT));
    draw_centred_caption(memory.get(), caption, RECT{1, 1, width + 1, height + 1});
    SetTextColor(memory.get(), GetSysColor(COLOR_3DSHADOW));
  } else {
    SetTextColor(memory.get(), look.text);
  }
  draw_centred_caption(memory.get(), caption, box);
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, memory.get(), 0, 0, SRCCOPY);
}

LRESULT Form::colour_control(HDC dc, HWND control) noexcept {
  const std::optional<ControlIndex> i = index_of_window(control);
  if (!i) return 0;
  const ControlDesign& c = layout_.control(*i);
  SetTextColor(dc, c.text_colour);
  if (!c.back_colour) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  SetBkColor(dc, *c.back_colour);
  return reinterpret_cast<LRESULT>(brush(*c.back_colour));
}

LRESULT CALLBACK Form::host_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* creation = static_cast<const HostCreation*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    (void)kOwningForm.set(window, creation->form);
    (void)kHostNumber.set(window, creation->host_number);
  }
  Form* form = kOwningForm.get(window);
  if (form == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  const std::int32_t number = kHostNumber.get(window);
  const std::optional<ControlIndex> host =
      number > 0 ? std::optional(static_cast<ControlIndex>(number - 1)) : std::nullopt;
  return form->handle(window, host, message, wparam, lparam);
}

LRESULT Form::handle(HWND host, std::optional<ControlIndex> host_index, UINT message, WPARAM wparam,
                     LPARAM lparam) noexcept {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT: {
      const win::PaintSession session(host);
      paint_host(host, host_index, session.dc(), session.area());
      return 0;
    }
    case WM_CLOSE:
      // A form that binds the close request decides itself whether to close,
      // as its own close button would, however the request came: the
      // system's close command (which arrives as this message), or a close
      // message that another program sent. Its own closing comes as kCloseNow.
      if (!host_index && binds({}, Event::CloseRequested)) {
        dispatch({}, Event::CloseRequested);
        return 0;
      }
      break;
    case WM_QUERYENDSESSION:
      // Logging off asks too; the session waits while the window stays.
      if (!host_index && binds({}, Event::CloseRequested)) {
        dispatch({}, Event::CloseRequested);
        return FALSE;
      }
      break;
    case WM_ENDSESSION:
      if (!host_index && wparam != FALSE && binds({}, Event::SessionEnding)) {
        dispatch({}, Event::SessionEnding);
        return 0;
      }
      break;
    case kCloseNow:
      if (!host_index) {
        DestroyWindow(host);
        return 0;
      }
      break;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        if (const auto i = index_of_window(reinterpret_cast<HWND>(lparam))) {
          dispatch(layout_.control(*i).name, Event::Clicked);
          return 0;
        }
      }
      break;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      const auto i = index_of_window(item.hwndItem);
      if (i && layout_.control(*i).kind == ControlKind::SuperBtn) {
        draw_flat_button(item, *i);
        return TRUE;
      }
      return FALSE;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (const LRESULT brush = colour_control(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam))) {
        return brush;
      }
      break;
    case WM_LBUTTONDOWN: {
      const int x = static_cast<short>(LOWORD(lparam));
      const int y = static_cast<short>(HIWORD(lparam));
      if (const auto i = layout_.drawn_control_at(host_index, x, y)) {
        const Rect at = layout_.rect_in_host(*i);
        dispatch(layout_.control(*i).name, Event::LeftButtonDown,
                 PointerPress{x - at.left, y - at.top, modifiers_of(wparam)});
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == host && LOWORD(lparam) == HTCLIENT) {
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(host, &at);
        const auto i = layout_.drawn_control_at(host_index, at.x, at.y);
        if (i && layout_.control(*i).cursor == CursorChoice::Hand) {
          SetCursor(LoadCursorA(nullptr, IDC_HAND));
          return TRUE;
        }
      }
      break;
    case WM_NCHITTEST: {
      const LRESULT hit = DefWindowProcA(host, message, wparam, lparam);
      if (host_index || hit != HTCLIENT) return hit;
      POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      ScreenToClient(host, &at);
      if (at.y >= design_.drag_band) return hit;
      const auto i = layout_.drawn_control_at(host_index, at.x, at.y);
      const bool takes_pointer = i && std::any_of(design_.events.begin(), design_.events.end(), [&](const auto& b) {
        return b.control == layout_.control(*i).name;
      });
      return takes_pointer ? hit : HTCAPTION;
    }
    case WM_NCDESTROY:
      kOwningForm.remove(host);
      kHostNumber.remove(host);
      if (!host_index) {
        (void)window_.release();
        if (is_last_form(host)) PostQuitMessage(0);
      } else {
        states_[*host_index].window = nullptr;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(host, message, wparam, lparam);
}

LRESULT CALLBACK Form::hover_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                       DWORD_PTR reference) noexcept {
  auto* form = reinterpret_cast<Form*>(reference);
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      if (const auto i = form->index_of_window(window)) {
        const bool over = message == WM_MOUSEMOVE;
        if (form->states_[*i].pointer_over != over) {
          form->states_[*i].pointer_over = over;
          if (over) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
            TrackMouseEvent(&track);
          }
          InvalidateRect(window, nullptr, FALSE);
        }
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, hover_procedure, kHoverSubclass);
      if (const auto i = form->index_of_window(window)) form->states_[*i].window = nullptr;
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

// Control properties.

HWND ControlRef::native_handle() const noexcept { return exists() ? form_->states_[*index_].window : nullptr; }

void ControlRef::set_text(std::string_view text) const {
  if (!exists()) return;
  form_->states_[*index_].text = Text(text);
  if (HWND window = native_handle()) {
    SetWindowTextA(window, form_->states_[*index_].text.c_str());
  } else {
    form_->invalidate_drawn(*index_);
  }
}

Text ControlRef::text() const {
  if (!exists()) return {};
  HWND window = native_handle();
  if (window == nullptr) return form_->states_[*index_].text;
  Text text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool ControlRef::checked() const noexcept {
  HWND window = native_handle();
  return window != nullptr && SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ControlRef::set_disabled(bool disabled) const noexcept {
  if (!exists()) return;
  form_->layout_.set_enabled(*index_, !disabled);
  if (HWND window = native_handle()) {
    EnableWindow(window, disabled ? FALSE : TRUE);
  } else {
    form_->invalidate_drawn(*index_);
  }
}

bool ControlRef::disabled() const noexcept { return exists() && !form_->layout_.enabled(*index_); }

void ControlRef::set_look_back_colour(int look, Colour colour) const noexcept {
  if (!exists() || look < 1 || look > 3) return;
  form_->states_[*index_].looks[static_cast<std::size_t>(look - 1)].back = colour;
  if (HWND window = native_handle()) InvalidateRect(window, nullptr, FALSE);
}

std::optional<Colour> ControlRef::look_back_colour(int look) const noexcept {
  if (!exists() || look < 1 || look > 3) return std::nullopt;
  return form_->states_[*index_].looks[static_cast<std::size_t>(look - 1)].back;
}

void ControlRef::set_current_page(int page) const noexcept {
  if (exists() && form_->layout_.set_current_page(*index_, page)) form_->sync_windows();
}

void ControlRef::set_progress(int position) const noexcept {
  if (HWND window = native_handle()) SendMessageA(window, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void ControlRef::set_visible(bool visible) const noexcept {
  if (!exists()) return;
  form_->layout_.set_visible(*index_, visible);
  form_->sync_windows();
}

void ControlRef::set_left(int left) const noexcept {
  if (!exists()) return;
  Bounds bounds = form_->layout_.bounds(*index_);
  bounds.left = left;
  form_->layout_.set_bounds(*index_, bounds);
  form_->sync_windows();
}

void ControlRef::set_top(int top) const noexcept {
  if (!exists()) return;
  Bounds bounds = form_->layout_.bounds(*index_);
  bounds.top = top;
  form_->layout_.set_bounds(*index_, bounds);
  form_->sync_windows();
}

bool ControlRef::visible() const noexcept { return exists() && form_->layout_.visible(*index_); }

Bounds ControlRef::bounds() const noexcept { return exists() ? form_->layout_.bounds(*index_) : Bounds{}; }

void ControlRef::set_dialog_kind(DialogKind kind) const noexcept {
  if (exists()) form_->states_[*index_].dialog_kind = kind;
}

void ControlRef::set_dialog_title(std::string_view title) const {
  if (exists()) form_->states_[*index_].dialog_title = Text(title);
}

void ControlRef::set_dialog_filter(std::string_view filter) const {
  if (exists()) form_->states_[*index_].dialog_filter = Text(filter);
}

Text ControlRef::dialog_file_name() const { return exists() ? form_->states_[*index_].dialog_file_name : Text{}; }

}  // namespace lumen::forms
