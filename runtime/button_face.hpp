#pragma once
// Which look and image a flat (image-and-colour) button is drawn with.

namespace lumen::forms {

enum class FaceImage { Normal, Over };

struct ButtonFace {
  int look = 1;  // 1 or 2: the look whose colours are used
  FaceImage image = FaceImage::Normal;
  bool embossed = false;  // disabled: caption and image in the platform's disabled style
  friend constexpr bool operator==(const ButtonFace&, const ButtonFace&) = default;
};

// Look 3 is stored with each button but never drawn.
[[nodiscard]] constexpr ButtonFace button_face(bool enabled, bool pointer_over, bool pressed, bool focused) noexcept {
  if (!enabled) return {1, FaceImage::Over, true};
  if (pointer_over || pressed) return {2, FaceImage::Over, false};
  if (focused) return {2, FaceImage::Normal, false};
  return {1, FaceImage::Normal, false};
}

}  // namespace lumen::forms
