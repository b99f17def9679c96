#include <gtest/gtest.h>

#include <vector>

#include "widgets/button_state.hpp"
#include "widgets/image_placement.hpp"

namespace lumen::widgets {
namespace {

TEST(ImagePlacement, FitsWithoutEnlargingAndCentres) {
  struct Case { const char* what; std::int32_t mode; int iw, ih; PixelRect want; };
  const Case cases[] = {
      {"small glyph stays unscaled, centred", kFitAndCentreImage, 11, 11, {6, 6, 11, 11}},
      {"minimise glyph", kFitAndCentreImage, 12, 13, {6, 5, 12, 13}},
      {"too wide: scaled to the width", kFitAndCentreImage, 48, 12, {0, 9, 24, 6}},
      {"too tall: scaled to the height", kFitAndCentreImage, 10, 48, {9, 0, 5, 24}},
      {"too large both ways", kFitAndCentreImage, 100, 50, {0, 6, 24, 12}},
      {"stretch", kStretchImage, 11, 11, {0, 0, 24, 24}},
      {"natural size at the corner", 0, 30, 11, {0, 0, 30, 11}},
      {"unknown mode is natural size", 7, 11, 11, {0, 0, 11, 11}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(place_image(c.mode, 24, 24, c.iw, c.ih), c.want);
  }
}

TEST(ButtonState, FollowsPointerPressAndFocus) {
  using enum ButtonInput;
  using ButtonState::Hot, ButtonState::Normal, ButtonState::Pressed;
  struct Case {
    const char* what;
    std::vector<ButtonInput> inputs;
    bool focused;
    ButtonState want;
  };
  const Case cases[] = {
      {"pointer over", {PointerMoved}, false, Hot},
      {"pointer over a disabled button", {Disabled, PointerMoved}, false, Hot},
      {"press and release over the button", {PointerMoved, LeftDown, LeftUp}, false, Hot},
      {"leave after a press, then release", {LeftDown, PointerLeft, LeftUp}, false, Normal},
      {"release without a press", {LeftUp}, false, Normal},
      {"tabbing to a normal button", {FocusGained}, true, Normal},
      {"focus after a press", {LeftDown, FocusGained}, true, Hot},
      {"losing focus while hot", {PointerMoved, FocusLost}, false, Normal},
      {"losing focus while pressed", {LeftDown, FocusLost}, false, Pressed},
      {"disabled then enabled", {PointerMoved, Disabled, Enabled}, false, Normal},
      {"pushed state set", {PushedState}, false, Pressed},
      {"pushed state cleared while focused", {PushedState, ReleasedState}, true, Hot},
      {"pushed state cleared unfocused", {PushedState, ReleasedState}, false, Normal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ButtonState state = ButtonState::Normal;
    for (ButtonInput input : c.inputs) {
      if (const auto next = next_button_step(state, input, c.focused).state) state = *next;
    }
    EXPECT_EQ(state, c.want);
  }
}

TEST(ButtonState, AsksForALeaveNoticeOnlyWhenThePointerArrives) {
  EXPECT_TRUE(next_button_step(ButtonState::Normal, ButtonInput::PointerMoved, false).track_leave);
  EXPECT_TRUE(next_button_step(ButtonState::Disabled, ButtonInput::PointerMoved, false).track_leave);
  // Moving on over a hot or pressed button changes nothing and redraws nothing.
  EXPECT_FALSE(next_button_step(ButtonState::Hot, ButtonInput::PointerMoved, false).state);
  EXPECT_FALSE(next_button_step(ButtonState::Pressed, ButtonInput::PointerMoved, false).state);
}

}  // namespace
}  // namespace lumen::widgets
