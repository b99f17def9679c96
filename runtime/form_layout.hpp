#pragma once
// The live arrangement of a designed window: where each control is, whether
// it is shown, which page each container shows, and which controls are real
// child windows and which are drawn by the window that hosts them. The
// platform layer reads everything it creates, paints and hit-tests from here.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/form_design.hpp"

namespace lumen::forms {

using ControlIndex = std::size_t;

// A rectangle: left and top inside, right and bottom outside.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  [[nodiscard]] constexpr bool contains(int x, int y) const noexcept {
    return x >= left && x < right && y >= top && y < bottom;
  }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// Controls that are real child windows: the platform's own controls, and
// filled shape boxes, which must cover the windows beneath them. The rest
// (pictures, labels, outline frames, page containers) are drawn by the
// nearest window they lie in, their host.
[[nodiscard]] bool is_windowed(const ControlDesign& control) noexcept;

class FormLayout {
 public:
  // The design must be sound (first_design_fault gives nothing).
  explicit FormLayout(const FormDesign& design);

  [[nodiscard]] const FormDesign& design() const noexcept { return design_; }
  [[nodiscard]] std::size_t size() const noexcept { return states_.size(); }
  [[nodiscard]] const ControlDesign& control(ControlIndex i) const noexcept { return design_.controls[i]; }
  [[nodiscard]] std::optional<ControlIndex> index_of(std::string_view name) const noexcept;

  // The control it lies in; nothing for the window.
  [[nodiscard]] std::optional<ControlIndex> parent_of(ControlIndex i) const noexcept { return states_[i].parent; }
  // The nearest real window it lies in; nothing for the top-level window.
  [[nodiscard]] std::optional<ControlIndex> host_of(ControlIndex i) const noexcept;

  [[nodiscard]] Bounds bounds(ControlIndex i) const noexcept { return states_[i].bounds; }
  void set_bounds(ControlIndex i, Bounds bounds) noexcept { states_[i].bounds = bounds; }
  [[nodiscard]] bool visible(ControlIndex i) const noexcept { return states_[i].visible; }
  void set_visible(ControlIndex i, bool visible) noexcept { states_[i].visible = visible; }
  [[nodiscard]] bool enabled(ControlIndex i) const noexcept { return states_[i].enabled; }
  void set_enabled(ControlIndex i, bool enabled) noexcept { states_[i].enabled = enabled; }
  // Page containers: the page shown; 0 at start.
  [[nodiscard]] int current_page(ControlIndex i) const noexcept { return states_[i].current_page; }
  // False (and nothing changes) for a page outside the container's pages.
  [[nodiscard]] bool set_current_page(ControlIndex i, int page) noexcept;

  // Visible itself, every control it lies in visible, and every page it lies
  // on the current page of its container.
  [[nodiscard]] bool shown(ControlIndex i) const noexcept;

  // A real window lying wholly beneath another shown real window of the same
  // host: it can be neither seen nor reached, so it is kept hidden (focus
  // and keyboard navigation cannot land on it, and nothing it draws can
  // show through the window above).
  [[nodiscard]] bool covered(ControlIndex i) const;

  // Position in the client area of the host (the window when host_of gives
  // nothing), through every drawn container in between.
  [[nodiscard]] Rect rect_in_host(ControlIndex i) const noexcept;

  // Drawn (windowless) controls that a host paints, bottom layer first. Host
  // nothing: the top-level window.
  [[nodiscard]] std::vector<ControlIndex> painted_by(std::optional<ControlIndex> host) const;
  // Real child windows of a host, topmost first.
  [[nodiscard]] std::vector<ControlIndex> windows_of(std::optional<ControlIndex> host) const;

  // The topmost shown and enabled drawn control of the host under the point
  // (host client coordinates), skipping containers: what a pointer press or
  // the cursor shape goes to.
  [[nodiscard]] std::optional<ControlIndex> drawn_control_at(std::optional<ControlIndex> host, int x,
                                                             int y) const;

 private:
  void append_drawn_inside(std::optional<ControlIndex> container, std::vector<ControlIndex>& order) const;

  struct State {
    std::optional<ControlIndex> parent;
    Bounds bounds;
    bool visible = true;
    bool enabled = true;
    int current_page = 0;
  };

  const FormDesign& design_;
  std::vector<State> states_;
};

}  // namespace lumen::forms
