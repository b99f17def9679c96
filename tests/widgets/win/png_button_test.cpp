#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/widgets/win/test_window.hpp"
#include "widgets/button_state.hpp"
#include "widgets/image_placement.hpp"
#include "widgets/win/graphics_startup.hpp"
#include "widgets/win/png_button.hpp"

namespace lumen::widgets {
namespace {

constexpr COLORREF kParentColour = RGB(0, 128, 0);

// A green parent with one 24 x 24 push button at (10, 10).
struct ImageButton : ::testing::Test {
  WidgetState state;
  std::unique_ptr<test::TestWindow> parent;
  HWND button = nullptr;

  void SetUp() override {
    InitialiseWidgets(state);
    parent = std::make_unique<test::TestWindow>(50, 50, 200, 100, kParentColour);
    button = add_button(10, 10);
  }
  HWND add_button(int x, int y) const {
    return CreateWindowExA(0, "Button", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, 24, 24, parent->get(),
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ButtonState state_of(HWND control) const {
    return static_cast<ButtonState>(reinterpret_cast<INT_PTR>(GetPropA(control, "Lumen_DrawState")));
  }
  void redraw_all() const {
    RedrawWindow(parent->get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    test::settle();
  }
};

TEST_F(ImageButton, RefusesAHandleThatIsNoWindow) {
  PngButton wrapper;
  EXPECT_FALSE(wrapper.MakeImageButton(nullptr));
  EXPECT_FALSE(wrapper.Attach(reinterpret_cast<HWND>(0x4321)));
  EXPECT_EQ(wrapper.Handle(), nullptr);
}

TEST_F(ImageButton, MakesTheButtonTransparentAndOwnerDrawnAndSubclassesTheParentOnce) {
  const LONG_PTR parent_procedure = GetWindowLongPtrA(parent->get(), GWLP_WNDPROC);
  SetWindowLongPtrA(parent->get(), GWL_STYLE, GetWindowLongPtrA(parent->get(), GWL_STYLE) | WS_CLIPCHILDREN);
  PngButton wrapper;
  ASSERT_TRUE(wrapper.MakeImageButton(button));
  EXPECT_EQ(wrapper.Handle(), button);
  EXPECT_EQ(wrapper.GetProperty("PngControl_Type"), kImageButtonType);
  EXPECT_EQ(GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(GetWindowLongPtrA(button, GWL_STYLE) & WS_CLIPSIBLINGS, 0);
  EXPECT_NE(GetWindowLongPtrA(button, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
  EXPECT_EQ(GetWindowLongPtrA(parent->get(), GWL_STYLE) & WS_CLIPCHILDREN, 0);

  const LONG_PTR subclassed = GetWindowLongPtrA(parent->get(), GWLP_WNDPROC);
  EXPECT_NE(subclassed, parent_procedure);
  HWND second = add_button(40, 10);
  ASSERT_TRUE(wrapper.MakeImageButton(second));
  EXPECT_EQ(GetWindowLongPtrA(parent->get(), GWLP_WNDPROC), subclassed);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(GetPropA(parent->get(), "PngControl_WndProc")), parent_procedure);
}

TEST_F(ImageButton, FollowsPointerAndFocusMessagesAndPassesThemOn) {
  PngButton wrapper;
  ASSERT_TRUE(wrapper.MakeImageButton(button));
  using enum ButtonState;
  const LPARAM inside = MAKELPARAM(5, 5);
  struct Step { UINT message; WPARAM wparam; ButtonState want; };
  const Step steps[] = {
      {WM_MOUSEMOVE, 0, Hot},
      {WM_LBUTTONDOWN, MK_LBUTTON, Pressed},
      {WM_MOUSELEAVE, 0, Normal},
      {WM_LBUTTONUP, 0, Normal},  // released away from a press
      {WM_LBUTTONDOWN, MK_LBUTTON, Pressed},
      {WM_LBUTTONUP, 0, Hot},
      {WM_KILLFOCUS, 0, Normal},
      {WM_SETFOCUS, 0, Normal},  // tabbing in leaves a normal button normal
      {BM_SETSTATE, 1, Pressed},
      {BM_SETSTATE, 0, Hot},     // released while focused
  };
  for (const Step& s : steps) {
    SendMessageA(button, s.message, s.wparam, inside);
    EXPECT_EQ(state_of(button), s.want) << "after message 0x" << std::hex << s.message;
  }
  EnableWindow(button, FALSE);
  EXPECT_EQ(state_of(button), Disabled);
  EnableWindow(button, TRUE);
  EXPECT_EQ(state_of(button), Normal);

  // The press and release inside reached the button's own procedure, which
  // told the parent it was clicked; the parent's subclass passed that on.
  bool clicked = false;
  for (const test::Recorded& r : parent->received()) {
    clicked = clicked || (r.message == WM_COMMAND && HIWORD(r.wparam) == BN_CLICKED &&
                          reinterpret_cast<HWND>(r.lparam) == button);
  }
  EXPECT_TRUE(clicked);
}

TEST_F(ImageButton, DrawsTheStateImageFittedAndCentredOverTheParent) {
  PngButton wrapper;
  ASSERT_TRUE(wrapper.MakeImageButton(button, test::solid_image(11, 11, 0xFFFF0000)));
  wrapper.SetImages(std::nullopt, test::solid_image(11, 11, 0xFF0000FF));
  wrapper.SetBackType(kFitAndCentreImage);
  redraw_all();

  struct Probe { int x, y; COLORREF want; };
  auto expect_face = [&](COLORREF image, const char* what) {
    SCOPED_TRACE(what);
    const Probe probes[] = {
        {10 + 6, 10 + 6, image}, {10 + 16, 10 + 16, image}, {10 + 5, 10 + 5, kParentColour},
        {10 + 17, 10 + 17, kParentColour}, {10 + 0, 10 + 12, kParentColour},
    };
    for (const Probe& p : probes) EXPECT_EQ(test::screen_pixel(parent->get(), p.x, p.y), p.want) << p.x << "," << p.y;
  };
  expect_face(RGB(255, 0, 0), "normal");
  SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  test::settle();
  expect_face(RGB(0, 0, 255), "pointer over: its own image");
  SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  test::settle();
  expect_face(RGB(255, 0, 0), "pressed without an image of its own: the normal one");
  SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
  EnableWindow(button, FALSE);
  test::settle();
  expect_face(RGB(255, 0, 0), "disabled: the normal one");
}

TEST_F(ImageButton, KeepsOneToolPerControlAndUpdatesItsText) {
  PngButton wrapper;
  ASSERT_TRUE(wrapper.MakeImageButton(button));
  wrapper.SetToolTip(state, "first");
  wrapper.SetToolTip(state, "second");
  auto tooltip = reinterpret_cast<HWND>(state.tooltipWindow);
  ASSERT_NE(tooltip, nullptr);
  EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);

  char text[80] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = button;
  tool.uId = 0;
  tool.lpszText = text;
  SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "second");

  // A second button shares the tooltip window.
  HWND other = add_button(40, 10);
  PngButton second;
  ASSERT_TRUE(second.MakeImageButton(other));
  second.SetToolTip(state, "other", false);
  EXPECT_EQ(reinterpret_cast<HWND>(state.tooltipWindow), tooltip);
  EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 2);
}

TEST_F(ImageButton, MovesAndResizesOnlyWhatIsGiven) {
  PngButton wrapper;
  ASSERT_TRUE(wrapper.Attach(button));
  wrapper.SetBounds(30, std::nullopt, std::nullopt, 40);
  RECT rect{};
  GetWindowRect(button, &rect);
  MapWindowPoints(nullptr, parent->get(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.top, 10);
  EXPECT_EQ(rect.right - rect.left, 24);
  EXPECT_EQ(rect.bottom - rect.top, 40);
}

}  // namespace
}  // namespace lumen::widgets
