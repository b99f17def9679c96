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
using Gdiplus::GpPen;

struct GdiplusImageTraits {
  using Handle = GpImage*;
  static Handle none() noexcept { return nullptr; }
  static void close(Handle h) noexcept { gdip::GdipDisposeImage(h); }
};
// An image; disposing of it also releases the stream it was read from.
using GdiplusImage = win::UniqueHandle<GdiplusImageTraits>;

struct GdiplusGraphicsTraits {
  using Handle = GpGraphics*;
  static Handle none() noexcept { return nullptr; }
  static void close(Handle h) noexcept { gdip::GdipDeleteGraphics(h); }
};
using GdiplusGraphics = win::UniqueHandle<GdiplusGraphicsTraits>;

struct GdiplusPenTraits {
  using Handle = GpPen*;
  static Handle none() noexcept { return nullptr; }
  static void close(Handle h) noexcept { gdip::GdipDeletePen(h); }
};
using GdiplusPen = win::UniqueHandle<GdiplusPenTraits>;

// Graphics on a device context; empty when the library is not started.
[[nodiscard]] inline GdiplusGraphics graphics_on(HDC dc) noexcept {
  GpGraphics* graphics = nullptr;
  if (gdip::GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok) return {};
  return GdiplusGraphics(graphics);
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
