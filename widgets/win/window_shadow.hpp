#pragma once
// A soft drop shadow for a borderless top-level window: a layered,
// click-through pop-up 5 px larger than its owner on every side, showing five
// 1-px outlines of one colour, and following the owner's moves and size
// changes through the owner's subclassed procedure. It is drawn only while
// the owner is visible (and when the owner is shown).

#include <windows.h>

namespace lumen::widgets {

// False when `owner` is not a window. Otherwise creates the shadow (or reuses
// the one attached before), takes the colour, places and draws it, and
// subclasses the owner once; a hidden owner's shadow is drawn when the owner
// is shown.
[[nodiscard]] bool AttachShadow(HWND owner, COLORREF colour) noexcept;

// The shadow window attached to `owner`, or null.
[[nodiscard]] HWND ShadowOf(HWND owner) noexcept;

// Draws the rings of a width x height shadow into the 32-bit bitmap selected
// into `dc`, over fully transparent pixels.
void DrawShadowRings(HDC dc, int width, int height, COLORREF colour) noexcept;

}  // namespace lumen::widgets
