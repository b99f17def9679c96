#pragma once
// A decoded image as a picture the window framework draws.

#include "runtime/win/forms/picture.hpp"
#include "widgets/win/gdiplus.hpp"

namespace lumen::widgets {

class GdiplusPicture final : public forms::Picture {
 public:
  explicit GdiplusPicture(GdiplusImage image) noexcept : image_(std::move(image)) {}
  void draw(HDC dc, const RECT& target) const noexcept override;
  void draw_disabled(HDC dc, const RECT& target) const noexcept override;

 private:
  GdiplusImage image_;
};

}  // namespace lumen::widgets
