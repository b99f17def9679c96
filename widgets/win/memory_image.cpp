#include "widgets/win/memory_image.hpp"

#include <cstring>

#include "runtime/win/gdi_handles.hpp"

namespace lumen::widgets {

namespace {

// A movable block holding a copy of the bytes.
win::GlobalMemory copy_to_global_memory(std::span<const std::uint8_t> bytes) noexcept {
  win::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
  if (!memory || bytes.empty()) return memory;
  void* target = GlobalLock(memory.get());
  if (target == nullptr) return {};
  std::memcpy(target, bytes.data(), bytes.size());
  GlobalUnlock(memory.get());
  return memory;
}

}  // namespace

bool MemoryStream::Open(std::span<const std::uint8_t> bytes) noexcept {
  Free();
  win::GlobalMemory memory = copy_to_global_memory(bytes);
  if (!memory) return false;
  if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, stream_.put()))) return false;
  (void)memory.release();  // the stream frees it with its last reference
  return true;
}

ByteBuffer MemoryStream::Bytes() const {
  HGLOBAL memory = nullptr;
  if (!stream_ || FAILED(GetHGlobalFromStream(stream_.get(), &memory))) return {};
  STATSTG status{};
  if (FAILED(stream_->Stat(&status, STATFLAG_NONAME))) return {};
  const auto size = static_cast<std::size_t>(status.cbSize.QuadPart);
  const auto* source = static_cast<const std::uint8_t*>(GlobalLock(memory));
  if (source == nullptr) return {};
  ByteBuffer bytes(source, source + size);
  GlobalUnlock(memory);
  return bytes;
}

GdiplusImage LoadImageFromBytes(std::span<const std::uint8_t> bytes, const WidgetState& state) noexcept {
  MemoryStream stream;
  if (!stream.Open(bytes)) return {};
  GpImage* loaded = nullptr;
  if (gdip::GdipLoadImageFromStream(stream.Stream(), &loaded) != Gdiplus::Ok) return {};
  GdiplusImage image(loaded);
  if (state.frameDimension) {
    GUID dimension{};
    std::memcpy(&dimension, state.frameDimension->data(), sizeof dimension);
    gdip::GdipImageSelectActiveFrame(image.get(), &dimension, 0);
  }
  return image;
}

}  // namespace lumen::widgets
