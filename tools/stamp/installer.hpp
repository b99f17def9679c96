#pragma once
// A built installer as a distributor hands it to the tool: a PE32 image,
// followed by nothing (unstamped) or by exactly one stamp; or, signed, an
// image whose certificate table ends the file and carries the stamp, if any,
// inside the signature.

#include <cstdint>
#include <optional>
#include <variant>

#include "runtime/byte_buffer.hpp"
#include "tools/stamp/agent_id.hpp"
#include "tools/stamp/result.hpp"
#include "tools/stamp/signed_image.hpp"

namespace lumen::stamp {

// Where a stamp goes: after the image of an unsigned installer, or inside
// the signature of a signed one, where it leaves the signature valid.
enum class StampPlace { AfterImage, InSignature };

class Installer {
 public:
  // Refuses anything that is not a PE32 executable; an unsigned image
  // followed by anything but one 8-digit stamp, since cutting off bytes the
  // tool does not understand could truncate the installer, and appending
  // after them could leave two stamps; and a signed one whose signature
  // could not be stamped and still verify.
  [[nodiscard]] static Result<Installer> from_file_content(ByteBuffer content);

  [[nodiscard]] const std::optional<Stamp>& stamp() const noexcept;
  [[nodiscard]] StampPlace stamp_place() const noexcept;
  // What stamping checks beyond the form read here: that a signed
  // installer is still the one its signature signed (see SignedImage).
  [[nodiscard]] Status check_signature() const;
  // The whole file with this stamp in place of the one it had, if any, and
  // its checksum computed anew.
  [[nodiscard]] ByteBuffer stamped_with(const Stamp& stamp) const;

 private:
  struct Unsigned {
    std::size_t image_end = 0;
    std::optional<Stamp> stamp;
    std::uint64_t checksum_field = 0;
    // The checksum's sum over the image, summed once for every copy.
    std::uint64_t image_sum = 0;
  };
  using Form = std::variant<Unsigned, SignedImage>;

  Installer(ByteBuffer content, Form form) noexcept;

  ByteBuffer content_;
  Form form_;
};

}  // namespace lumen::stamp
