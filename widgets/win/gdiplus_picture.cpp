#include "widgets/win/gdiplus_picture.hpp"

#include "runtime/win/gdi_handles.hpp"

namespace lumen::widgets {

namespace {

void draw_image(HDC dc, GpImage* image, const RECT& target) noexcept {
  const GdiplusGraphics graphics = graphics_on(dc);
  if (!graphics) return;
  gdip::GdipSetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBicubic);
  gdip::GdipSetPixelOffsetMode(graphics.get(), Gdiplus::PixelOffsetModeHalf);
  gdip::GdipDrawImageRectI(graphics.get(), image, target.left, target.top, target.right - target.left,
                           target.bottom - target.top);
}

}  // namespace

void GdiplusPicture::draw(HDC dc, const RECT& target) const noexcept { draw_image(dc, image_.get(), target); }

void GdiplusPicture::draw_disabled(HDC dc, const RECT& target) const noexcept {
  // The platform embosses a bitmap: render the image into one first.
  const int width = target.right - target.left;
  const int height = target.bottom - target.top;
  const win::MemoryDc memory(CreateCompatibleDC(dc));
  win::BitmapHandle bitmap(CreateCompatibleBitmap(dc, width, height));
  if (!memory || !bitmap) return;
  {
    const win::SelectedObject selected(memory.get(), bitmap.get());
    RECT whole{0, 0, width, height};
    FillRect(memory.get(), &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    draw_image(memory.get(), image_.get(), whole);
  }
  DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap.get()), 0, target.left, target.top, width, height,
             DST_BITMAP | DSS_DISABLED);
}

}  // namespace lumen::widgets
