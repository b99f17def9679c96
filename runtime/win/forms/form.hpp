#pragma once
// A live window built from a form design: its controls as child windows
// (platform controls, filled panels) or drawn by the window they lie in
// (pictures, labels, frames, page containers), in the design's stacking
// order, with their texts, fonts, colours, looks and images, and their
// events dispatched to named handlers. The properties the handlers use are
// operations on the form and on its controls, addressed by name.

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/form_design.hpp"
#include "runtime/form_layout.hpp"
#include "runtime/text.hpp"
#include "runtime/win/forms/fonts.hpp"
#include "runtime/win/forms/picture.hpp"
#include "runtime/win/gdi_handles.hpp"

namespace lumen::forms {

// What a file dialog holder's dialog does, by the runtime's numbers.
enum class DialogKind : int { OpenFile = 0, SaveFile = 1 };

// A window's position state, by the runtime's numbers.
enum class WindowState : int { Normal = 0, Maximised = 1, Minimised = 2 };

// Modifier keys held during a pointer press.
enum Modifier : int { kCtrl = 1, kShift = 2, kAlt = 4 };

struct PointerPress {
  int x = 0;  // relative to the control
  int y = 0;
  int modifiers = 0;
};

// Pointer presses carry the press; other events nothing.
using Handler = std::function<void(const std::optional<PointerPress>&)>;
// Indexed by the HandlerId the design's bindings give.
using Handlers = std::vector<Handler>;

class Form;

// One control of a form, by name. Asking for a name the design does not hold
// is a programming error, which debug builds stop at; otherwise the reference
// does nothing and its reads give empty values.
class ControlRef {
 public:
  ControlRef(Form* form, std::optional<ControlIndex> index) noexcept : form_(form), index_(index) {}

  [[nodiscard]] bool exists() const noexcept { return form_ != nullptr && index_.has_value(); }
  [[nodiscard]] HWND native_handle() const noexcept;

  void set_text(std::string_view text) const;
  [[nodiscard]] Text text() const;
  [[nodiscard]] bool checked() const noexcept;
  void set_disabled(bool disabled) const noexcept;
  [[nodiscard]] bool disabled() const noexcept;
  // Looks are numbered 1 to 3.
  void set_look_back_colour(int look, Colour colour) const noexcept;
  [[nodiscard]] std::optional<Colour> look_back_colour(int look) const noexcept;
  void set_current_page(int page) const noexcept;
  void set_progress(int position) const noexcept;
  void set_visible(bool visible) const noexcept;
  void set_left(int left) const noexcept;
  void set_top(int top) const noexcept;
  [[nodiscard]] bool visible() const noexcept;
  [[nodiscard]] Bounds bounds() const noexcept;

  // File dialog holders.
  void set_dialog_kind(DialogKind kind) const noexcept;
  void set_dialog_title(std::string_view title) const;
  void set_dialog_filter(std::string_view filter) const;
  [[nodiscard]] Text dialog_file_name() const;

 private:
  friend bool run_file_dialog(const ControlRef& dialog);

  Form* form_;
  std::optional<ControlIndex> index_;
};

class Form {
 public:
  // The design must be sound and outlive the form, and every handler its
  // bindings name must be in `handlers` (debug builds stop otherwise).
  Form(const FormDesign& design, Handlers handlers);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  ~Form();

  // Creates the window centred on the screen and its controls, hidden: it can
  // be made while what it is to show is still being fetched. False when the
  // window cannot be made.
  [[nodiscard]] bool create();
  // Takes the pictures (looked up by the names the design gives its images),
  // runs the creation handler, then shows the window create() made.
  void open(Pictures pictures);
  // Posts the window's closing: it is destroyed when the message is handled.
  void close() const noexcept;

  [[nodiscard]] HWND native_handle() const noexcept { return window_.get(); }
  [[nodiscard]] ControlRef control(std::string_view name) noexcept;

  void set_title(std::string_view title) const;
  void set_size(int width, int height) const noexcept;
  void set_position_state(WindowState state) const noexcept;
  // Takes the window off the screen; it still exists.
  void hide() const noexcept;

 private:
  friend class ControlRef;
  friend bool run_file_dialog(const ControlRef& dialog);
  // What the platform does not keep for a control.
  struct ControlState {
    HWND window = nullptr;  // null for drawn controls
    Text text;               // captions and label texts
    std::array<Look, 3> looks{};
    bool pointer_over = false;
    DialogKind dialog_kind = DialogKind::OpenFile;
    Text dialog_title;
    Text dialog_filter;
    Text dialog_file_name;
  };

  static LRESULT CALLBACK host_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  static LRESULT CALLBACK hover_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                          DWORD_PTR) noexcept;
  LRESULT handle(HWND host, std::optional<ControlIndex> host_index, UINT message, WPARAM wparam,
                 LPARAM lparam) noexcept;

  [[nodiscard]] bool create_controls();
  [[nodiscard]] HWND create_control(ControlIndex i);
  [[nodiscard]] HWND host_window(std::optional<ControlIndex> host) const noexcept;
  void stack_windows() const noexcept;
  // Places, shows and hides every control window after a change of layout,
  // and repaints the hosts.
  void sync_windows() noexcept;
  [[nodiscard]] bool shows_window(ControlIndex i) const;
  void invalidate_drawn(ControlIndex i) const noexcept;

  void paint_host(HWND host, std::optional<ControlIndex> host_index, HDC dc, const RECT& area) noexcept;
  // The host's background with the pictures of its bottom layer drawn on it,
  // made again only when its size or those pictures change; owned by the form.
  [[nodiscard]] HBITMAP base_layer(std::optional<ControlIndex> host_index, HDC dc, const RECT& client,
                                   const std::vector<ControlIndex>& bottom) noexcept;
  void paint_drawn(HDC dc, ControlIndex i) noexcept;
  void draw_flat_button(const DRAWITEMSTRUCT& item, ControlIndex i) noexcept;
  [[nodiscard]] LRESULT colour_control(HDC dc, HWND control) noexcept;
  [[nodiscard]] HBRUSH brush(Colour colour);

  void dispatch(std::string_view control, Event event, const std::optional<PointerPress>& press = std::nullopt);
  [[nodiscard]] bool binds(std::string_view control, Event event) const noexcept;
  [[nodiscard]] std::optional<ControlIndex> index_of_window(HWND window) const noexcept;
  [[nodiscard]] const Picture* picture(std::string_view name) const noexcept;

  const FormDesign& design_;
  FormLayout layout_;
  Handlers handlers_;
  Pictures pictures_;
  FontSet fonts_;
  std::map<Colour, win::BrushHandle> brushes_;
  struct BaseLayer {
    win::BitmapHandle bitmap;
    int width = 0;
    int height = 0;
    std::vector<ControlIndex> controls;
  };
  std::map<std::optional<ControlIndex>, BaseLayer> base_layers_;
  std::vector<ControlState> states_;
  win::WindowHandle window_;
};

// The form's closing and the open-file dialog, as the installer's handlers
// call them.
inline void close_window(const Form& form) noexcept { form.close(); }
// Shows the file dialog the holder's settings describe; true when a file was
// chosen, whose full path is then the holder's file name.
[[nodiscard]] bool run_file_dialog(const ControlRef& dialog);

}  // namespace lumen::forms
