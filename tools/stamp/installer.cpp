#include "tools/stamp/installer.hpp"

#include <span>
#include <string>
#include <utility>

#include "tools/stamp/pe_image.hpp"

namespace lumen::stamp {

Installer::Installer(ByteBuffer content, std::size_t image_end, std::optional<Stamp> stamp) noexcept
    : content_(std::move(content)), image_end_(image_end), stamp_(std::move(stamp)) {}

Result<Installer> Installer::from_file_content(ByteBuffer content) {
  const Result<std::uint64_t> image_end = pe32_image_end(content);
  if (!image_end.ok()) return Error{image_end.error()};
  const auto end = static_cast<std::size_t>(image_end.value());
  const std::span<const std::uint8_t> appended = std::span(content).subspan(end);
  if (appended.empty()) return Installer(std::move(content), end, std::nullopt);
  std::optional<Stamp> stamp = Stamp::from_bytes(appended);
  if (!stamp) {
    return Error{std::to_string(appended.size()) +
                 " bytes follow the executable image and they are not one 8-digit stamp; not guessing where "
                 "the installer ends (start from the installer as built)"};
  }
  return Installer(std::move(content), end, std::move(stamp));
}

ByteBuffer Installer::stamped_with(const Stamp& stamp) const {
  ByteBuffer stamped(content_.begin(), content_.begin() + static_cast<std::ptrdiff_t>(image_end_));
  stamped.insert(stamped.end(), stamp.bytes().begin(), stamp.bytes().end());
  return stamped;
}

}  // namespace lumen::stamp
