#pragma once
// A rectangle in pixels, as the widgets' geometry hands it to the drawing
// code: its top-left corner and its size.

namespace lumen::widgets {

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace lumen::widgets
