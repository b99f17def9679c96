#pragma once
// The graphics library's flat interface, and typed owners for its objects.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "runtime/win/unique_handle.hpp"

namespace lumen::widgets {

namespace gdip = Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpBrush;
using Gdiplus::GpSolidFill;

// An image; disposing of it also releases the stream it was read from.
using GdiplusImage = win::UniqueHandle<win::NullHandleTraits<GpImage*, &gdip::GdipDisposeImage>>;
using GdiplusGraphics = win::UniqueHandle<win::NullHandleTraits<GpGraphics*, &gdip::GdipDeleteGraphics>>;
using GdiplusBrush = win::UniqueHandle<win::NullHandleTraits<GpBrush*, &gdip::GdipDeleteBrush>>;

// Graphics on a device context; empty when the library is not started.
[[nodiscard]] inline GdiplusGraphics graphics_on(HDC dc) noexcept {
  GpGraphics* graphics = nullptr;
  if (gdip::GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok) return {};
  return GdiplusGraphics(graphics);
}

// A copy of a decoded image, far cheaper than decoding it again; empty when
// there is nothing to copy.
[[nodiscard]] inline GdiplusImage copy_of(const GdiplusImage& image) noexcept {
  GpImage* copy = nullptr;
  if (!image || gdip::GdipCloneImage(image.get(), &copy) != Gdiplus::Ok) return {};
  return GdiplusImage(copy);
}

struct ImageSize {
  int width = 0;
  int height = 0;
};
[[nodiscard]] inline ImageSize image_size(GpImage* image) noexcept {
  UINT width = 0;
  UINT height = 0;
  if (image == nullptr || gdip::GdipGetImageWidth(image, &width) != Gdiplus::Ok ||
      gdip::GdipGetImageHeight(image, &height) != Gdiplus::Ok) {
    return {};
  }
  return {static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace lumen::widgets
