#include "core/win/design_images.hpp"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/wizard_design.hpp"
#include "runtime/byte_buffer.hpp"
#include "widgets/win/gdiplus_picture.hpp"
#include "widgets/win/memory_image.hpp"

namespace lumen::wizard {

namespace {

// The bytes of the named resource; empty when there is none.
ByteBuffer resource_bytes(std::string_view name) {
  const std::string resource_name(name);
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, resource_name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const auto* bytes = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (bytes == nullptr) return {};
  return ByteBuffer(bytes, bytes + SizeofResource(module, found));
}

// The named design image decoded; empty when it is missing or undecodable.
widgets::GdiplusImage design_image(std::string_view name, const widgets::WidgetState& state) {
  return widgets::LoadImageFromBytes(resource_bytes(name), state);
}

}  // namespace

DesignImages decode_design_images(const widgets::WidgetState& state) {
  DesignImages images;
  for (std::string_view name : {kBannerImage, kWideButtonImage, kWideButtonOverImage}) {
    if (widgets::GdiplusImage image = design_image(name, state)) {
      images.pictures.emplace(std::string(name), std::make_unique<widgets::GdiplusPicture>(std::move(image)));
    }
  }
  images.glyphs = {design_image(kCloseGlyphLight, state), design_image(kCloseGlyphDark, state),
                   design_image(kMinimiseGlyphLight, state), design_image(kMinimiseGlyphDark, state)};
  return images;
}

std::future<DesignImages> start_decoding_design_images(const widgets::WidgetState& state) {
  return std::async(std::launch::async, [&state] { return decode_design_images(state); });
}

}  // namespace lumen::wizard
