#pragma once
// Where an image button draws its image inside the button.

#include <cstdint>

#include "widgets/pixel_rect.hpp"

namespace lumen::widgets {

// "PngControl_BackType": 1 stretches the image over the button, 2 fits it
// inside without enlarging and centres it, anything else draws it in its own
// size at the top-left corner.
inline constexpr std::int32_t kStretchImage = 1;
inline constexpr std::int32_t kFitAndCentreImage = 2;

[[nodiscard]] PixelRect place_image(std::int32_t mode, int button_width, int button_height, int image_width,
                                    int image_height) noexcept;

}  // namespace lumen::widgets
