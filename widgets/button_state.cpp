#include "widgets/button_state.hpp"

namespace lumen::widgets {

ButtonStep next_button_step(ButtonState current, ButtonInput input, bool focused) noexcept {
  using enum ButtonState;
  switch (input) {
    case ButtonInput::PointerMoved:
      if (current == Hot || current == Pressed) return {};
      return {Hot, true};
    case ButtonInput::PointerLeft: return {Normal};
    case ButtonInput::LeftDown: return {Pressed};
    case ButtonInput::LeftUp: return {current == Pressed ? Hot : Normal};
    case ButtonInput::FocusGained: return current == Pressed ? ButtonStep{Hot} : ButtonStep{};
    case ButtonInput::FocusLost: return current == Hot ? ButtonStep{Normal} : ButtonStep{};
    case ButtonInput::Enabled: return {Normal};
    case ButtonInput::Disabled: return {Disabled};
    case ButtonInput::PushedState: return {Pressed};
    case ButtonInput::ReleasedState: return {focused ? Hot : Normal};
  }
  return {};
}

}  // namespace lumen::widgets
