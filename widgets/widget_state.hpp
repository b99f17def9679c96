#pragma once
// The run-wide state of the widgets: what the graphics start-up produced and
// the one tooltip window the image buttons share. Held in the program state.

#include <array>
#include <cstdint>
#include <optional>

namespace lumen::widgets {

struct WidgetState {
  // Graphics start-up tokens; 0 until the start-up call has run.
  std::uintptr_t graphicsToken = 0;
  std::uintptr_t loadingWindowGraphicsToken = 0;
  // The time frame dimension's identifier in its 16-byte form; absent until
  // the loading window is prepared, and the image loader then passes none.
  std::optional<std::array<std::uint8_t, 16>> frameDimension;
  // Handle of the tooltip window shared by all image buttons; 0 until the
  // first tooltip. It lives until the process ends.
  std::uintptr_t tooltipWindow = 0;
};

}  // namespace lumen::widgets
