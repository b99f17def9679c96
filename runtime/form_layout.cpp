#include "runtime/form_layout.hpp"

#include <algorithm>

namespace lumen::forms {

bool is_windowed(const ControlDesign& control) noexcept {
  switch (control.kind) {
    case ControlKind::SuperBtn:
    case ControlKind::Button:
    case ControlKind::EditBox:
    case ControlKind::CheckBox:
    case ControlKind::ProcessBar:
      return true;
    case ControlKind::ShapeBox:
      return control.back_colour.has_value();
    case ControlKind::PicBox:
    case ControlKind::TransLabel:
    case ControlKind::Tab:
    case ControlKind::CommonDlg:
      return false;
  }
  return false;
}

FormLayout::FormLayout(const FormDesign& design) : design_(design), states_(design.controls.size()) {
  for (ControlIndex i = 0; i < states_.size(); ++i) {
    const ControlDesign& c = design.controls[i];
    State& state = states_[i];
    if (!c.parent.control.empty()) state.parent = index_of(c.parent.control);
    state.bounds = c.bounds;
    state.visible = c.visible;
    state.enabled = c.enabled;
  }
}

std::optional<ControlIndex> FormLayout::index_of(std::string_view name) const noexcept {
  for (ControlIndex i = 0; i < design_.controls.size(); ++i) {
    if (design_.controls[i].name == name) return i;
  }
  return std::nullopt;
}

std::optional<ControlIndex> FormLayout::host_of(ControlIndex i) const noexcept {
  std::optional<ControlIndex> at = states_[i].parent;
  while (at && !is_windowed(control(*at))) at = states_[*at].parent;
  return at;
}

bool FormLayout::set_current_page(ControlIndex i, int page) noexcept {
  if (control(i).kind != ControlKind::Tab || page < 0 ||
      static_cast<std::size_t>(page) >= control(i).pages.size()) {
    return false;
  }
  states_[i].current_page = page;
  return true;
}

bool FormLayout::shown(ControlIndex i) const noexcept {
  std::optional<ControlIndex> at = i;
  while (at) {
    const State& state = states_[*at];
    if (!state.visible) return false;
    const int page = control(*at).parent.page;
    if (page >= 0 && state.parent && states_[*state.parent].current_page != page) return false;
    at = state.parent;
  }
  return true;
}

bool FormLayout::covered(ControlIndex i) const {
  if (!is_windowed(control(i))) return false;
  const std::optional<ControlIndex> host = host_of(i);
  const Rect own = rect_in_host(i);
  for (ControlIndex above : windows_of(host)) {
    if (above == i) return false;  // the rest lie beneath
    const Rect cover = rect_in_host(above);
    if (shown(above) && cover.left <= own.left && cover.top <= own.top && cover.right >= own.right &&
        cover.bottom >= own.bottom) {
      return true;
    }
  }
  return false;
}

Rect FormLayout::rect_in_host(ControlIndex i) const noexcept {
  const Bounds own = states_[i].bounds;
  Rect rect{own.left, own.top, own.left + own.width, own.top + own.height};
  const std::optional<ControlIndex> host = host_of(i);
  for (std::optional<ControlIndex> at = states_[i].parent; at != host; at = states_[*at].parent) {
    const Bounds outer = states_[*at].bounds;
    rect.left += outer.left;
    rect.right += outer.left;
    rect.top += outer.top;
    rect.bottom += outer.top;
  }
  return rect;
}

void FormLayout::append_drawn_inside(std::optional<ControlIndex> container,
                                     std::vector<ControlIndex>& order) const {
  // The design lists the topmost control first: walk it backwards, and draw
  // each control before what lies in it.
  for (ControlIndex i = states_.size(); i-- > 0;) {
    if (states_[i].parent != container || is_windowed(control(i))) continue;
    order.push_back(i);
    append_drawn_inside(i, order);
  }
}

std::vector<ControlIndex> FormLayout::painted_by(std::optional<ControlIndex> host) const {
  std::vector<ControlIndex> order;
  append_drawn_inside(host, order);
  return order;
}

std::vector<ControlIndex> FormLayout::windows_of(std::optional<ControlIndex> host) const {
  std::vector<ControlIndex> windows;
  for (ControlIndex i = 0; i < states_.size(); ++i) {
    if (is_windowed(control(i)) && host_of(i) == host) windows.push_back(i);
  }
  return windows;
}

std::optional<ControlIndex> FormLayout::drawn_control_at(std::optional<ControlIndex> host, int x,
                                                         int y) const {
  const std::vector<ControlIndex> order = painted_by(host);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    if (shown(*it) && enabled(*it) && rect_in_host(*it).contains(x, y)) return *it;
  }
  return std::nullopt;
}

}  // namespace lumen::forms
