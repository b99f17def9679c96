#include <gtest/gtest.h>

#include <vector>

#include "widgets/shadow_rings.hpp"

namespace lumen::widgets {
namespace {

TEST(ShadowRings, RiseInOpacityTowardsTheOwnersEdge) {
  // Grey RGB(128,128,128) as a COLORREF; the rings carry it as ARGB.
  const auto rings = shadow_rings(610, 440, 0x00808080);
  const ShadowRing want[] = {
      {0, 0, 609, 439, 0x05808080}, {1, 1, 607, 437, 0x14808080}, {2, 2, 605, 435, 0x23808080},
      {3, 3, 603, 433, 0x32808080}, {4, 4, 601, 431, 0x41808080},
  };
  for (int i = 0; i < kShadowRings; ++i) EXPECT_EQ(rings[static_cast<std::size_t>(i)], want[i]) << i;
}

TEST(ShadowRings, KeepTheColourChannelsApart) {
  // COLORREF 0x00BBGGRR becomes ARGB 0xAARRGGBB.
  EXPECT_EQ(shadow_rings(20, 20, 0x00332211)[0].argb, 0x05112233u);
}

TEST(ShadowRings, LeaveEverythingFromTheFifthPixelInwardsTransparent) {
  struct Case { int x, y; std::uint8_t alpha; };
  const Case cases[] = {
      {0, 0, 5},     {0, 200, 5},   {609, 439, 5}, {1, 100, 20},  {300, 2, 35},
      {606, 300, 50}, {4, 4, 65},    {605, 435, 65}, {5, 5, 0},     {300, 200, 0},
      {604, 434, 0}, {-1, 10, 0},   {610, 10, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shadow_alpha_at(c.x, c.y, 610, 440), c.alpha) << c.x << "," << c.y;
  }
}

TEST(ShadowRings, StripsCoverEachRingsPixelsOnce) {
  constexpr int kWidth = 23;
  constexpr int kHeight = 17;
  std::vector<int> covered(kWidth * kHeight, 0);
  std::vector<std::uint8_t> alpha(kWidth * kHeight, 0);
  for (const ShadowRing& ring : shadow_rings(kWidth, kHeight, 0x00808080)) {
    for (const PixelRect& strip : ring_strips(ring)) {
      for (int y = strip.top; y < strip.top + strip.height; ++y) {
        for (int x = strip.left; x < strip.left + strip.width; ++x) {
          ASSERT_TRUE(x >= 0 && y >= 0 && x < kWidth && y < kHeight) << x << "," << y;
          ++covered[static_cast<std::size_t>(y * kWidth + x)];
          alpha[static_cast<std::size_t>(y * kWidth + x)] = static_cast<std::uint8_t>(ring.argb >> 24);
        }
      }
    }
  }
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::uint8_t want = shadow_alpha_at(x, y, kWidth, kHeight);
      EXPECT_EQ(covered[static_cast<std::size_t>(y * kWidth + x)], want ? 1 : 0) << x << "," << y;
      EXPECT_EQ(alpha[static_cast<std::size_t>(y * kWidth + x)], want) << x << "," << y;
    }
  }
}

TEST(ShadowPlacement, SurroundsTheOwnerByFivePixels) {
  EXPECT_EQ(shadow_around(100, 100, 600, 430), (PixelRect{95, 95, 610, 440}));
}

}  // namespace
}  // namespace lumen::widgets
