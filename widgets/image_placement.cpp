#include "widgets/image_placement.hpp"

namespace lumen::widgets {

namespace {

PixelRect fit_and_centre(int w, int h, int image_width, int image_height) noexcept {
  double dw = image_width;
  double dh = image_height;
  if (w < image_width) {
    dw = w;
    dh = static_cast<int>(static_cast<double>(image_height) * w / image_width);
  }
  if (h < dh) {
    const double before = dh;
    dh = h;
    dw = static_cast<int>(h * dw / before);
  }
  const int width = static_cast<int>(dw);
  const int height = static_cast<int>(dh);
  return {(w - width) / 2, (h - height) / 2, width, height};
}

}  // namespace

PixelRect place_image(std::int32_t mode, int button_width, int button_height, int image_width,
                      int image_height) noexcept {
  if (mode == kStretchImage) return {0, 0, button_width, button_height};
  if (mode == kFitAndCentreImage && image_width > 0 && image_height > 0) {
    return fit_and_centre(button_width, button_height, image_width, image_height);
  }
  return {0, 0, image_width, image_height};
}

}  // namespace lumen::widgets
