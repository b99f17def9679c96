#include "tools/stamp/id_attribute.hpp"

#include <algorithm>
#include <array>

namespace lumen::stamp {
namespace {

// The attribute type's OID in its DER content bytes.
constexpr std::array<std::uint8_t, 35> kIdAttributeType = {
    0x2A, 0x86, 0x48, 0x86, 0xF7, 0x14, 0x01, 0xBE, 0x40, 0x93, 0x7A, 0x83, 0xF4, 0x00, 0x82, 0xA8, 0x66, 0x83,
    0xA0, 0x43, 0x81, 0x96, 0x7B, 0x82, 0xA4, 0x04, 0x86, 0xD2, 0xD5, 0x4D, 0x82, 0xE6, 0x84, 0x1E, 0x01};

[[nodiscard]] std::size_t element_size(std::size_t content_size) noexcept {
  return der::header_size(content_size) + content_size;
}

[[nodiscard]] std::size_t value_size(std::size_t filler) noexcept { return filler + kStampSize; }
[[nodiscard]] std::size_t values_size(std::size_t filler) noexcept { return element_size(value_size(filler)); }
[[nodiscard]] std::size_t attribute_content_size(std::size_t filler) noexcept {
  return element_size(kIdAttributeType.size()) + element_size(values_size(filler));
}

[[nodiscard]] Error malformed(const std::string& why) {
  return Error{"the signature's agent id attribute is not as this tool writes it: " + why};
}

}  // namespace

bool is_id_attribute_type(std::span<const std::uint8_t> der, const der::Element& type) {
  const std::span<const std::uint8_t> content = der.subspan(type.content, type.end - type.content);
  return type.tag == der::kObjectIdentifier && std::ranges::equal(content, kIdAttributeType);
}

Result<Stamp> read_id_attribute_values(std::span<const std::uint8_t> der, const der::Element& values) {
  const Result<std::vector<der::Element>> value = der::read_children(der, values);
  if (!value.ok()) return Error{value.error()};
  if (value.value().size() != 1 || value.value()[0].tag != der::kOctetString) {
    return malformed("it holds other than one OCTET STRING");
  }
  const der::Element& octets = value.value()[0];
  const std::span<const std::uint8_t> content = der.subspan(octets.content, octets.end - octets.content);
  if (content.size() < kStampSize) return malformed("its value has fewer than 8 bytes");
  const std::span<const std::uint8_t> filler = content.first(content.size() - kStampSize);
  if (!std::ranges::all_of(filler, [](std::uint8_t b) { return b == 0; })) {
    return malformed("its value has other than zero bytes before the id");
  }
  const std::optional<Stamp> stamp = Stamp::from_bytes(content.last(kStampSize));
  if (!stamp) return malformed("its value does not end in 8 digits");
  return *stamp;
}

std::size_t least_filler_sorting_after(std::size_t content_size) noexcept {
  // A byte of filler adds one byte to the content, and the two lengths
  // around it grow by at most six bytes between them: start just below.
  constexpr std::size_t kLengthGrowth = 6;
  const std::size_t bare = attribute_content_size(0);
  std::size_t filler = content_size + 1 > bare + kLengthGrowth ? content_size + 1 - bare - kLengthGrowth : 0;
  while (attribute_content_size(filler) <= content_size) ++filler;
  return filler;
}

std::size_t id_attribute_size(std::size_t filler) noexcept { return element_size(attribute_content_size(filler)); }

void append_id_attribute(ByteBuffer& out, const Stamp& stamp, std::size_t filler) {
  der::append_header(out, der::kSequence, attribute_content_size(filler));
  der::append_header(out, der::kObjectIdentifier, kIdAttributeType.size());
  out.insert(out.end(), kIdAttributeType.begin(), kIdAttributeType.end());
  der::append_header(out, der::kSet, values_size(filler));
  der::append_header(out, der::kOctetString, value_size(filler));
  out.insert(out.end(), filler, 0);
  out.insert(out.end(), stamp.bytes().begin(), stamp.bytes().end());
}

}  // namespace lumen::stamp
