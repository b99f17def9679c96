#pragma once
// The image button's drawing state and how pointer, focus and enable events
// move it. The state picks the image: each state's own, or the normal image
// when that one is missing.

#include <cstdint>
#include <optional>

namespace lumen::widgets {

enum class ButtonState : std::int32_t { Normal = 0, Hot = 1, Pressed = 2, Disabled = 3 };

enum class ButtonInput {
  PointerMoved,
  PointerLeft,
  LeftDown,
  LeftUp,
  FocusGained,
  FocusLost,
  Enabled,
  Disabled,
  PushedState,    // the button's pushed state set on
  ReleasedState,  // and off
};

struct ButtonStep {
  // The state to set, or nothing when the state stays (no redraw either).
  std::optional<ButtonState> state;
  // A leave notification must be requested (the pointer just came over).
  bool track_leave = false;
};

// The step an input causes from the current state; `focused` tells whether
// the button holds the keyboard focus.
[[nodiscard]] ButtonStep next_button_step(ButtonState current, ButtonInput input, bool focused) noexcept;

enum class ImageSlot { Normal, Over, Down, Disabled };

[[nodiscard]] constexpr ImageSlot image_slot_for(ButtonState state) noexcept {
  switch (state) {
    case ButtonState::Hot: return ImageSlot::Over;
    case ButtonState::Pressed: return ImageSlot::Down;
    case ButtonState::Disabled: return ImageSlot::Disabled;
    case ButtonState::Normal: break;
  }
  return ImageSlot::Normal;
}

}  // namespace lumen::widgets
