#pragma once
// Images decoded from bytes held in memory (the design's PNG resources).

#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <span>

#include "runtime/byte_buffer.hpp"
#include "runtime/win/com.hpp"
#include "widgets/widget_state.hpp"
#include "widgets/win/gdiplus.hpp"

namespace lumen::widgets {

// A stream over a private copy of some bytes in global memory. The stream
// owns the memory: whoever still holds a reference to the stream (an image
// that reads from it on demand) keeps the bytes alive.
class MemoryStream {
 public:
  // Replaces any earlier content with a copy of the bytes.
  [[nodiscard]] bool Open(std::span<const std::uint8_t> bytes) noexcept;
  [[nodiscard]] IStream* Stream() const noexcept { return stream_.get(); }
  // A copy of the stream's memory.
  [[nodiscard]] ByteBuffer Bytes() const;
  // Drops this object's reference to the stream.
  void Free() noexcept { stream_.reset(); }

 private:
  win::ComPtr<IStream> stream_;
};

// PNG (or any format the graphics library reads) bytes to an image with its
// first frame selected; empty when the bytes cannot be decoded.
[[nodiscard]] GdiplusImage LoadImageFromBytes(std::span<const std::uint8_t> bytes,
                                              const WidgetState& state) noexcept;

}  // namespace lumen::widgets
