#include "tools/stamp/installer.hpp"

#include <span>
#include <string>
#include <utility>

#include "tools/stamp/pe_checksum.hpp"
#include "tools/stamp/pe_image.hpp"

namespace lumen::stamp {

Installer::Installer(ByteBuffer content, Form form) noexcept : content_(std::move(content)), form_(std::move(form)) {}

Result<Installer> Installer::from_file_content(ByteBuffer content) {
  const Result<Pe32Layout> layout = read_pe32_layout(content);
  if (!layout.ok()) return Error{layout.error()};
  if (layout.value().certificate_table) {
    Result<SignedImage> signed_image = SignedImage::read(content, layout.value());
    if (!signed_image.ok()) return Error{signed_image.error()};
    return Installer(std::move(content), std::move(signed_image).value());
  }
  const auto end = static_cast<std::size_t>(layout.value().image_end);
  const std::span<const std::uint8_t> appended = std::span(content).subspan(end);
  std::optional<Stamp> stamp = Stamp::from_bytes(appended);
  if (!appended.empty() && !stamp) {
    return Error{std::to_string(appended.size()) +
                 " bytes follow the executable image and they are not one 8-digit stamp; not guessing where "
                 "the installer ends (start from the installer as built)"};
  }
  const std::uint64_t field = layout.value().checksum_field;
  Unsigned form{.image_end = end,
                .stamp = std::move(stamp),
                .checksum_field = field,
                .image_sum = checksum_sum_without_field(std::span(content).first(end), field)};
  return Installer(std::move(content), std::move(form));
}

const std::optional<Stamp>& Installer::stamp() const noexcept {
  if (const auto* signed_image = std::get_if<SignedImage>(&form_)) return signed_image->signature().stamp();
  return std::get<Unsigned>(form_).stamp;
}

StampPlace Installer::stamp_place() const noexcept {
  return std::holds_alternative<SignedImage>(form_) ? StampPlace::InSignature : StampPlace::AfterImage;
}

Status Installer::check_signature() const {
  if (const auto* signed_image = std::get_if<SignedImage>(&form_)) return signed_image->check_signs(content_);
  return Done{};
}

ByteBuffer Installer::stamped_with(const Stamp& stamp) const {
  if (const auto* signed_image = std::get_if<SignedImage>(&form_)) {
    return signed_image->with_signature(content_, signed_image->signature().stamped_with(stamp));
  }
  const Unsigned& form = std::get<Unsigned>(form_);
  ByteBuffer stamped;
  stamped.reserve(form.image_end + kStampSize);
  stamped.insert(stamped.end(), content_.begin(), content_.begin() + static_cast<std::ptrdiff_t>(form.image_end));
  stamped.insert(stamped.end(), stamp.bytes().begin(), stamp.bytes().end());
  put_pe_checksum(stamped, form.checksum_field, form.image_sum + checksum_sum(stamp.bytes(), form.image_end));
  return stamped;
}

}  // namespace lumen::stamp
