#pragma once
// A signed installer as the stamp rewrites it: the executable image, then
// its certificate table, which ends the file. A new signature changes the
// table, the certificate directory's size and the checksum, and no other
// byte; the first two are outside the file's Authenticode hash by
// definition, and so is the checksum.

#include <cstdint>
#include <span>

#include "runtime/byte_buffer.hpp"
#include "tools/stamp/pe_image.hpp"
#include "tools/stamp/result.hpp"
#include "tools/stamp/signature.hpp"

namespace lumen::stamp {

class SignedImage {
 public:
  // Refuses a certificate table that does not follow the image and end the
  // file, and one that holds anything but one signature that parses.
  [[nodiscard]] static Result<SignedImage> read(std::span<const std::uint8_t> file, const Pe32Layout& layout);

  [[nodiscard]] const Signature& signature() const noexcept { return signature_; }
  // Checks what the tool can of the signature before copies are stamped:
  // that it decodes, and that the file's Authenticode digest is the one it
  // and each nested signature signed. `file` is the one the image was read
  // from.
  [[nodiscard]] Status check_signs(std::span<const std::uint8_t> file) const;
  // The file with `der` (sized to a multiple of 8) as its signature, and
  // its checksum computed anew, as a signing tool leaves it. `file` is the
  // one the image was read from.
  [[nodiscard]] ByteBuffer with_signature(std::span<const std::uint8_t> file, std::span<const std::uint8_t> der) const;

 private:
  SignedImage(CertificateTable table, std::uint64_t checksum_field, std::uint64_t image_sum,
              Signature signature) noexcept;

  CertificateTable table_;
  std::uint64_t checksum_field_ = 0;
  // The checksum's sum over the image, summed once for every copy.
  std::uint64_t image_sum_ = 0;
  Signature signature_;
};

}  // namespace lumen::stamp
