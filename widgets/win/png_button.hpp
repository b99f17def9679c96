#pragma once
// Image buttons: an ordinary push button turned into a transparent,
// owner-drawn one whose face is an image chosen by its state (normal,
// pointer over, pressed, disabled), drawn over a copy of whatever lies
// behind it. All state lives in properties of the button window, so this
// wrapper only holds the handle of the control it refers to; the buttons go
// on working after it is gone.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "widgets/widget_state.hpp"
#include "widgets/win/gdiplus.hpp"

namespace lumen::widgets {

// Control kinds in "PngControl_Type".
inline constexpr std::int32_t kImageButtonType = 3;
inline constexpr std::int32_t kTransparentTextType = 4;

class PngButton {
 public:
  // Prepares a control for transparent drawing: its parent paints beneath
  // it. False when the handle is not a window.
  [[nodiscard]] bool Attach(HWND control) noexcept;
  [[nodiscard]] HWND Handle() const noexcept { return control_; }
  [[nodiscard]] bool IsValid() const noexcept { return IsWindow(control_) != FALSE; }

  // Any named property of the control.
  bool SetProperty(const char* name, std::intptr_t value) const noexcept;
  [[nodiscard]] std::intptr_t GetProperty(const char* name) const noexcept;
  LRESULT Send(UINT message, WPARAM wparam, LPARAM lparam) const noexcept;

  // Adds the control's tooltip, or changes its text when it has one. With
  // atCursor false the tip is centred under the control.
  void SetToolTip(WidgetState& state, std::string_view text, bool atCursor = true) const noexcept;

  // Moves and/or resizes the control; what is not given stays.
  void SetBounds(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                 std::optional<int> height, bool noRedraw = false) const noexcept;
  // Invalidates the whole control without erasing.
  void Invalidate() const noexcept;

  // A new image button in `parent`; null on failure.
  HWND Create(HWND parent, int left, int top, int width, int height, std::string_view caption) noexcept;

  // Turns an existing button into an image button, with its normal image
  // when one is given. False when the handle is not a window.
  [[nodiscard]] bool MakeImageButton(HWND control, GdiplusImage normal = {}) noexcept;

  // Images for the four states; each one given replaces (and disposes of)
  // the image there was, even with an empty one. The button owns them.
  void SetImages(std::optional<GdiplusImage> normal, std::optional<GdiplusImage> over = std::nullopt,
                 std::optional<GdiplusImage> down = std::nullopt,
                 std::optional<GdiplusImage> disabled = std::nullopt) const noexcept;
  using ImageBytes = std::optional<std::span<const std::uint8_t>>;
  // The same, decoding PNG bytes.
  void SetImageBytes(const WidgetState& state, ImageBytes normal, ImageBytes over = std::nullopt,
                     ImageBytes down = std::nullopt, ImageBytes disabled = std::nullopt) const noexcept;
  // Image placement: 1 stretch, 2 fit and centre, other natural size.
  void SetBackType(std::int32_t mode) const noexcept;

 private:
  HWND control_ = nullptr;
};

}  // namespace lumen::widgets
