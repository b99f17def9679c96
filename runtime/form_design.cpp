#include "runtime/form_design.hpp"

namespace lumen::forms {

namespace {

[[nodiscard]] bool can_hold_controls(ControlKind kind) noexcept {
  return kind == ControlKind::Tab || kind == ControlKind::ShapeBox;
}

[[nodiscard]] bool has_sound_parent(const FormDesign& design, const ControlDesign& control) noexcept {
  const ParentRef& parent = control.parent;
  if (parent.control.empty()) return parent.page < 0;
  const ControlDesign* holder = find_control(design, parent.control);
  if (holder == nullptr || holder == &control || !can_hold_controls(holder->kind)) return false;
  if (holder->kind == ControlKind::Tab) {
    return parent.page >= 0 && static_cast<std::size_t>(parent.page) < holder->pages.size();
  }
  return parent.page < 0;
}

// Following parents from the control reaches the window within as many
// steps as there are controls, unless the parents form a cycle.
[[nodiscard]] bool reaches_window(const FormDesign& design, const ControlDesign& control) noexcept {
  const ControlDesign* at = &control;
  for (std::size_t steps = 0; steps <= design.controls.size(); ++steps) {
    if (at->parent.control.empty()) return true;
    at = find_control(design, at->parent.control);
    if (at == nullptr) return false;
  }
  return false;
}

[[nodiscard]] bool name_is_unique(const FormDesign& design, const ControlDesign& control) noexcept {
  return !control.name.empty() && find_control(design, control.name) == &control;
}

}  // namespace

const ControlDesign* find_control(const FormDesign& design, std::string_view name) noexcept {
  for (const ControlDesign& control : design.controls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

std::optional<std::string_view> first_design_fault(const FormDesign& design) noexcept {
  for (const ControlDesign& control : design.controls) {
    if (!name_is_unique(design, control) || !has_sound_parent(design, control) ||
        !reaches_window(design, control)) {
      return control.name;
    }
  }
  for (const EventBinding& binding : design.events) {
    if (!binding.control.empty() && find_control(design, binding.control) == nullptr) return binding.control;
  }
  return std::nullopt;
}

}  // namespace lumen::forms
