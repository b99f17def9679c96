#pragma once
// A window's design as data: every control with its kind, parent, geometry,
// texts, font, colours, looks, images and flags, in stacking order (topmost
// first), and the bindings of control events to named handlers. The window
// framework builds live windows from it; nothing here touches the platform.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace lumen::forms {

// A Windows COLORREF: 0x00BBGGRR.
using Colour = std::uint32_t;

[[nodiscard]] constexpr Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) noexcept {
  return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
[[nodiscard]] constexpr std::uint8_t red_of(Colour c) noexcept { return static_cast<std::uint8_t>(c & 0xFF); }
[[nodiscard]] constexpr std::uint8_t green_of(Colour c) noexcept { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
[[nodiscard]] constexpr std::uint8_t blue_of(Colour c) noexcept { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

enum class ControlKind {
  PicBox,      // shows one image, stretched to the box
  TransLabel,  // one line of text over whatever lies behind it
  SuperBtn,    // flat push button with colour looks and images
  Button,      // ordinary push button
  EditBox,
  CheckBox,
  ShapeBox,    // rectangle outline and/or fill; may hold other controls
  ProcessBar,  // progress bar
  Tab,         // page container without a tab strip
  CommonDlg,   // invisible holder of file dialog settings
};

enum class FontChoice { Small, Large, DefaultGui };
enum class CursorChoice { Arrow, Hand };

struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Where a control lies: the window (empty control name), another control, or
// one page of a page container. Coordinates are relative to that parent.
struct ParentRef {
  std::string_view control{};
  int page = -1;
};
inline constexpr ParentRef kOnWindow{};
[[nodiscard]] constexpr ParentRef inside(std::string_view control) noexcept { return {control, -1}; }
[[nodiscard]] constexpr ParentRef on_page(std::string_view container, int page) noexcept {
  return {container, page};
}

// One look of a flat button: caption colour over face colour.
struct Look {
  Colour text = 0;
  Colour back = 0;
};

struct EditStyle {
  bool multi_line = false;  // accepts Return, scrolls vertically
  bool read_only = false;
  bool vertical_scroll_bar = false;
};

struct ControlDesign {
  std::string_view name{};
  ControlKind kind = ControlKind::TransLabel;
  ParentRef parent{};
  Bounds bounds{};
  bool visible = true;
  bool enabled = true;  // a disabled label takes no mouse input
  bool tab_stop = false;
  CursorChoice cursor = CursorChoice::Arrow;
  std::string_view text{};  // caption, label text, edit content
  FontChoice font = FontChoice::Small;
  bool underline = false;
  Colour text_colour = 0;
  std::optional<Colour> back_colour{};     // none: transparent, nothing is filled
  std::optional<Colour> outline_colour{};  // shape boxes: 1-px outline inside the box
  std::array<Look, 3> looks{};             // flat buttons: looks 1, 2 and 3
  std::string_view normal_image{};         // names of the design's images
  std::string_view over_image{};
  EditStyle edit{};
  bool checked = false;
  std::span<const std::string_view> pages{};  // page container: page names
};

enum class Event {
  Created,          // the window: its controls exist
  Clicked,          // buttons and check boxes
  LeftButtonDown,   // pointer press: position relative to the control, modifier keys
  CloseRequested,   // the window: any request to close it from outside its handlers (Alt+F4,
                    // the taskbar, a close message from another program, the user logging
                    // off); without a binding the window simply closes
  SessionEnding,    // the window: the user's session ends now, whatever the window says
};

// A handler by its number: the position of its function in the handler list
// the window is built with. A design names its handlers with an enumeration
// of its own, so that a binding cannot name a handler that does not exist.
using HandlerId = int;

struct EventBinding {
  std::string_view control{};  // empty: the window itself
  Event event = Event::Clicked;
  HandlerId handler = 0;
};

struct FormDesign {
  std::string_view name{};
  int width = 0;
  int height = 0;
  Colour background = 0;
  // Height of the band along the top edge by which the window is dragged,
  // where no control takes the pointer; 0: the window cannot be dragged.
  int drag_band = 0;
  std::span<const ControlDesign> controls{};  // stacking order, topmost first
  std::span<const EventBinding> events{};
};

// The control of that name, or null.
[[nodiscard]] const ControlDesign* find_control(const FormDesign& design, std::string_view name) noexcept;

// What a design must satisfy before windows are built from it: unique names,
// parents that exist and come to no cycle, pages within their container's
// page count, and containers that can hold controls. Empty when sound, else
// the name of the first offending control.
[[nodiscard]] std::optional<std::string_view> first_design_fault(const FormDesign& design) noexcept;

}  // namespace lumen::forms
