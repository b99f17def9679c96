#include <gtest/gtest.h>

#include "runtime/win/gdi_handles.hpp"
#include "widgets/win/graphics_startup.hpp"
#include "widgets/win/memory_image.hpp"

namespace lumen::widgets {
namespace {

// A 2 x 1 RGBA picture: opaque red, then blue at half opacity.
const ByteBuffer kTwoPixels = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x22, 0x7F, 0x8A, 0x00, 0x00, 0x00,
    0x0E, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0xF8, 0xCF, 0xC0, 0x00, 0x42, 0x0D, 0x00, 0x0F, 0x7A, 0x03,
    0x7E, 0x6A, 0x81, 0x31, 0xE1, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

struct Loader : ::testing::Test {
  WidgetState state;
  void SetUp() override { InitialiseWidgets(state); }
};

Gdiplus::ARGB pixel(GpImage* image, int x, int y) {
  Gdiplus::ARGB colour = 0;
  gdip::GdipBitmapGetPixel(static_cast<GpBitmap*>(image), x, y, &colour);
  return colour;
}

TEST_F(Loader, DecodesPngBytesHeldInMemory) {
  const GdiplusImage image = LoadImageFromBytes(kTwoPixels, state);
  ASSERT_TRUE(image);
  EXPECT_EQ(image_size(image.get()).width, 2);
  EXPECT_EQ(image_size(image.get()).height, 1);
  EXPECT_EQ(pixel(image.get(), 0, 0), 0xFFFF0000u);
  EXPECT_EQ(pixel(image.get(), 1, 0), 0x800000FFu);
}

TEST_F(Loader, GivesNoImageForBytesItCannotDecode) {
  struct Case { const char* what; ByteBuffer bytes; };
  const Case cases[] = {
      {"no bytes", {}},
      {"not a picture", {'h', 'e', 'l', 'l', 'o'}},
      {"signature only", ByteBuffer(kTwoPixels.begin(), kTwoPixels.begin() + 8)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(LoadImageFromBytes(c.bytes, state));
  }
}

TEST_F(Loader, ImageOutlivesTheBytesItWasReadFrom) {
  GdiplusImage image;
  {
    ByteBuffer bytes = kTwoPixels;
    image = LoadImageFromBytes(bytes, state);
    std::fill(bytes.begin(), bytes.end(), 0);
  }
  ASSERT_TRUE(image);
  // Drawing reads the picture again where the library decodes on demand.
  const win::MemoryDc dc(CreateCompatibleDC(nullptr));
  const win::BitmapHandle canvas(CreateBitmap(2, 1, 1, 32, nullptr));
  const win::SelectedObject selected(dc.get(), canvas.get());
  const GdiplusGraphics graphics = graphics_on(dc.get());
  ASSERT_TRUE(graphics);
  EXPECT_EQ(gdip::GdipDrawImageRectI(graphics.get(), image.get(), 0, 0, 2, 1), Gdiplus::Ok);
  EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(255, 0, 0));
}

TEST(MemoryStream, HoldsACopyThatEachOpenReplaces) {
  MemoryStream stream;
  ASSERT_TRUE(stream.Open(kTwoPixels));
  EXPECT_EQ(stream.Bytes(), kTwoPixels);
  const ByteBuffer other = {1, 2, 3};
  ASSERT_TRUE(stream.Open(other));
  EXPECT_EQ(stream.Bytes(), other);
  stream.Free();
  EXPECT_EQ(stream.Stream(), nullptr);
  EXPECT_TRUE(stream.Bytes().empty());
}

}  // namespace
}  // namespace lumen::widgets
