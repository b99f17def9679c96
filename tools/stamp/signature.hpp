#pragma once
// An Authenticode signature, a PKCS#7 ContentInfo holding a SignedData in
// DER, and the stamp it may carry. The stamp is the id attribute (see
// id_attribute.hpp) ending the unauthenticated attributes of the last signer
// info, sorted after any nested signature or time stamp there as DER sorts
// them: signer infos end a SignedData, and unauthenticated attributes end a
// signer info, so the id is the last bytes of the encoding. Unauthenticated
// attributes are outside what the signer signed, and the whole signature is
// outside the file's Authenticode hash, so the signature verifies with any
// id.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "runtime/byte_buffer.hpp"
#include "tools/stamp/agent_id.hpp"
#include "tools/stamp/der.hpp"
#include "tools/stamp/result.hpp"

namespace lumen::stamp {

class Signature {
 public:
  // Refuses an encoding that does not parse as DER to its last byte, and
  // anything but a SignedData whose last signer info is where it belongs.
  [[nodiscard]] static Result<Signature> read(std::span<const std::uint8_t> der);

  // The encoding as it was read.
  [[nodiscard]] std::span<const std::uint8_t> encoding() const noexcept { return der_; }
  // The stamp the encoding ends with, if it ends with one.
  [[nodiscard]] const std::optional<Stamp>& stamp() const noexcept { return stamp_; }
  // The encoding with this stamp ending it, in place of any id attribute
  // the last signer info had, and every length around it fixed up. Its size
  // is a multiple of 8, so it fills a certificate entry without padding.
  [[nodiscard]] ByteBuffer stamped_with(const Stamp& stamp) const;

 private:
  Signature(ByteBuffer der, std::vector<der::Element> enclosing, std::size_t signer_fields_end,
            std::vector<der::Element> kept_attributes, std::optional<Stamp> stamp);

  // The content size of each enclosing element, outermost first, when the
  // unauthenticated attributes' content has the given size.
  [[nodiscard]] std::vector<std::size_t> enclosing_sizes(std::size_t attributes_size) const;
  // Where the content of enclosing element i ends that comes before the
  // element it encloses (for the signer info: before its attributes).
  [[nodiscard]] std::size_t kept_content_end(std::size_t i) const noexcept;

  ByteBuffer der_;
  // The ContentInfo, its [0], the SignedData, its signer infos and the last
  // signer info: each the last element of the one before.
  std::vector<der::Element> enclosing_;
  // The end of the signer info's fields before its unauthenticated attributes.
  std::size_t signer_fields_end_ = 0;
  // Its unauthenticated attributes but any id attribute, copied as they are
  // in their DER order.
  std::vector<der::Element> kept_attributes_;
  std::optional<Stamp> stamp_;
};

}  // namespace lumen::stamp
