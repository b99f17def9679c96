#pragma once
// The drop shadow's geometry: a layered window 5 px larger than its owner on
// every side, holding five 1-px rectangle outlines of one colour whose
// opacity rises towards the owner's edge. The inside stays transparent.

#include <array>
#include <cstdint>

#include "widgets/pixel_rect.hpp"

namespace lumen::widgets {

inline constexpr int kShadowMargin = 5;
inline constexpr int kShadowRings = 5;

struct ShadowRing {
  int left = 0;  // top-left corner; width and height as passed to the rectangle outline
  int top = 0;
  int width = 0;
  int height = 0;
  std::uint32_t argb = 0;
  friend constexpr bool operator==(const ShadowRing&, const ShadowRing&) = default;
};

// Opacity of ring i (1 = the outermost).
[[nodiscard]] constexpr std::uint8_t shadow_ring_alpha(int i) noexcept {
  return static_cast<std::uint8_t>(5 + 15 * (i - 1));
}

// The five outlines for a W x H shadow of the colour (0x00BBGGRR), outermost
// first. An outline of width w covers columns left .. left + w.
[[nodiscard]] std::array<ShadowRing, kShadowRings> shadow_rings(int width, int height,
                                                                std::uint32_t colour) noexcept;

// The pixels a 1-px outline covers, as four strips that do not overlap (so no
// corner is blended twice): the top and bottom rows whole, the left and right
// columns between them. Filling them draws exactly what the outline draws.
[[nodiscard]] std::array<PixelRect, 4> ring_strips(const ShadowRing& ring) noexcept;

// Opacity of one pixel of a W x H shadow: the ring it lies on, or 0 inside.
[[nodiscard]] std::uint8_t shadow_alpha_at(int x, int y, int width, int height) noexcept;

// Where the shadow of an owner window goes (screen coordinates).
[[nodiscard]] constexpr PixelRect shadow_around(int left, int top, int width, int height) noexcept {
  return {left - kShadowMargin, top - kShadowMargin, width + 2 * kShadowMargin, height + 2 * kShadowMargin};
}

}  // namespace lumen::widgets
