#include <gtest/gtest.h>

#include "runtime/win/gdi_handles.hpp"
#include "tests/widgets/win/test_window.hpp"
#include "widgets/shadow_rings.hpp"
#include "widgets/win/graphics_startup.hpp"
#include "widgets/win/window_shadow.hpp"

namespace lumen::widgets {
namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);

struct Shadow : ::testing::Test {
  WidgetState state;
  void SetUp() override { InitialiseWidgets(state); }
};

RECT rect_of(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

}  // namespace
}  // namespace lumen::widgets

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace lumen::widgets {
namespace {

TEST_F(Shadow, RefusesAHandleThatIsNoWindow) {
  EXPECT_FALSE(AttachShadow(nullptr, kGrey));
  EXPECT_FALSE(AttachShadow(reinterpret_cast<HWND>(0x1234), kGrey));
}

TEST_F(Shadow, SurroundsItsOwnerAsAClickThroughLayeredPopUp) {
  test::TestWindow owner(100, 100, 600, 430);
  ASSERT_TRUE(AttachShadow(owner.get(), kGrey));
  HWND shadow = ShadowOf(owner.get());
  ASSERT_NE(shadow, nullptr);
  EXPECT_EQ(rect_of(shadow), (RECT{95, 95, 705, 535}));
  EXPECT_EQ(GetWindow(shadow, GW_OWNER), owner.get());
  EXPECT_EQ(GetWindowLongPtrA(shadow, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT),
            WS_EX_LAYERED | WS_EX_TRANSPARENT);
  EXPECT_TRUE(IsWindowVisible(shadow));
  EXPECT_EQ(static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(GetPropA(shadow, "WndShadow.Color"))), kGrey);
}

TEST_F(Shadow, AttachingAgainReusesTheShadowAndSubclassesOnce) {
  test::TestWindow owner(100, 100, 300, 200);
  const LONG_PTR own_procedure = GetWindowLongPtrA(owner.get(), GWLP_WNDPROC);
  ASSERT_TRUE(AttachShadow(owner.get(), kGrey));
  HWND shadow = ShadowOf(owner.get());
  const LONG_PTR subclassed = GetWindowLongPtrA(owner.get(), GWLP_WNDPROC);
  EXPECT_NE(subclassed, own_procedure);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(GetPropA(owner.get(), "WndShadow.Proc")), own_procedure);

  ASSERT_TRUE(AttachShadow(owner.get(), RGB(1, 2, 3)));
  EXPECT_EQ(ShadowOf(owner.get()), shadow);
  EXPECT_EQ(GetWindowLongPtrA(owner.get(), GWLP_WNDPROC), subclassed);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(GetPropA(owner.get(), "WndShadow.Proc")), own_procedure);
  EXPECT_EQ(static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(GetPropA(shadow, "WndShadow.Color"))), RGB(1, 2, 3));
}

TEST_F(Shadow, FollowsMovesAndSizeChangesAndLetsEveryMessageThrough) {
  test::TestWindow owner(100, 100, 300, 200);
  ASSERT_TRUE(AttachShadow(owner.get(), kGrey));
  HWND shadow = ShadowOf(owner.get());
  owner.forget_received();

  SetWindowPos(owner.get(), nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(rect_of(shadow), (RECT{145, 115, 455, 325}));
  SetWindowPos(owner.get(), nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(rect_of(shadow), (RECT{145, 115, 355, 225}));

  // The owner's own procedure still saw the moves and the size change.
  bool saw_move = false;
  bool saw_size = false;
  for (const test::Recorded& r : owner.received()) {
    saw_move = saw_move || r.message == WM_MOVE;
    saw_size = saw_size || r.message == WM_SIZE;
  }
  EXPECT_TRUE(saw_move);
  EXPECT_TRUE(saw_size);
}

TEST_F(Shadow, RingsRiseInOpacityAndLeaveTheInsideTransparent) {
  constexpr int kWidth = 60;
  constexpr int kHeight = 40;
  // Sections stored top-down and bottom-up (as the shadow window's own).
  for (const int stored_height : {-kHeight, kHeight}) {
    const win::MemoryDc dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, kWidth, stored_height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const win::BitmapHandle bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bitmap);
    {
      const win::SelectedObject selected(dc.get(), bitmap.get());
      DrawShadowRings(dc.get(), kWidth, kHeight, kGrey);
      GdiFlush();
    }
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const std::uint32_t pixel = pixels[y * kWidth + x];
        const int alpha = static_cast<int>(pixel >> 24);
        ASSERT_EQ(alpha, shadow_alpha_at(x, y, kWidth, kHeight)) << x << "," << y << " stored " << stored_height;
        // Grey over nothing: each channel is the alpha share of 128.
        ASSERT_NEAR(static_cast<int>(pixel & 0xFF), alpha * 128 / 255, 1) << x << "," << y;
      }
    }
  }
}

TEST_F(Shadow, ClicksOnTheShadowReachTheWindowBeneath) {
  test::TestWindow beneath(40, 40, 200, 200, RGB(0, 0, 255));
  test::TestWindow owner(100, 100, 100, 100);
  ASSERT_TRUE(AttachShadow(owner.get(), kGrey));
  test::settle();
  // A point on the shadow's outermost ring, over the window beneath.
  EXPECT_EQ(WindowFromPoint(POINT{96, 150}), beneath.get());
}

}  // namespace
}  // namespace lumen::widgets
