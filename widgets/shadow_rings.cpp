#include "widgets/shadow_rings.hpp"

#include <algorithm>

namespace lumen::widgets {

std::array<ShadowRing, kShadowRings> shadow_rings(int width, int height, std::uint32_t colour) noexcept {
  const std::uint32_t red = colour & 0xFF;
  const std::uint32_t green = (colour >> 8) & 0xFF;
  const std::uint32_t blue = (colour >> 16) & 0xFF;
  std::array<ShadowRing, kShadowRings> rings{};
  for (int i = 1; i <= kShadowRings; ++i) {
    const std::uint32_t argb =
        (static_cast<std::uint32_t>(shadow_ring_alpha(i)) << 24) | (red << 16) | (green << 8) | blue;
    rings[static_cast<std::size_t>(i - 1)] = {i - 1, i - 1, width - 2 * i + 1, height - 2 * i + 1, argb};
  }
  return rings;
}

std::array<PixelRect, 4> ring_strips(const ShadowRing& ring) noexcept {
  const int right = ring.left + ring.width;
  const int bottom = ring.top + ring.height;
  return {{{ring.left, ring.top, ring.width + 1, 1},
           {ring.left, bottom, ring.width + 1, 1},
           {ring.left, ring.top + 1, 1, ring.height - 1},
           {right, ring.top + 1, 1, ring.height - 1}}};
}

std::uint8_t shadow_alpha_at(int x, int y, int width, int height) noexcept {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const int offset = std::min({x, y, width - 1 - x, height - 1 - y});
  return offset < kShadowRings ? shadow_ring_alpha(offset + 1) : 0;
}

}  // namespace lumen::widgets
