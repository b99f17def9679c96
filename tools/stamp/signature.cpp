#include "tools/stamp/signature.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "tools/stamp/id_attribute.hpp"

namespace lumen::stamp {
namespace {

// 1.2.840.113549.1.7.2, PKCS#7 signedData, in its DER content bytes.
constexpr std::array<std::uint8_t, 9> kSignedDataType = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02};
constexpr std::uint8_t kExplicitContent = der::context_tag(0);
constexpr std::uint8_t kUnauthenticatedAttributes = der::context_tag(1);
// What a stamped signature's size is a multiple of: a certificate entry's
// alignment, so that no padding follows the stamp.
constexpr std::size_t kEntryAlignment = 8;

[[nodiscard]] Error does_not_parse(const std::string& why) { return Error{"the signature does not parse: " + why}; }

[[nodiscard]] Error not_signed_data(const std::string& why) {
  return Error{"the signature is not an Authenticode PKCS#7 SignedData: " + why};
}

[[nodiscard]] std::size_t element_size(std::size_t content_size) noexcept {
  return der::header_size(content_size) + content_size;
}

[[nodiscard]] Result<std::vector<der::Element>> children(std::span<const std::uint8_t> der,
                                                         const der::Element& parent) {
  Result<std::vector<der::Element>> found = der::read_children(der, parent);
  if (!found.ok()) return does_not_parse(found.error());
  return found;
}

// The one element the whole encoding is, checked to its last byte.
[[nodiscard]] Result<der::Element> whole_encoding(std::span<const std::uint8_t> der) {
  const Result<der::Element> top = der::read_element(der, 0, der.size());
  if (!top.ok()) return does_not_parse(top.error());
  if (top.value().end != der.size()) {
    return does_not_parse(std::to_string(der.size() - top.value().end) + " bytes follow its encoding");
  }
  const Status nested = der::check_nesting(der, top.value());
  if (!nested.ok()) return does_not_parse(nested.error());
  return top;
}

// The elements from the ContentInfo down to the last signer info, each the
// last element of the one before.
[[nodiscard]] Result<std::vector<der::Element>> path_to_last_signer(std::span<const std::uint8_t> der,
                                                                    const der::Element& top) {
  if (top.tag != der::kSequence) return not_signed_data("it is not a SEQUENCE");
  const Result<std::vector<der::Element>> content_info = children(der, top);
  if (!content_info.ok()) return Error{content_info.error()};
  const std::vector<der::Element>& info = content_info.value();
  if (info.size() != 2 || info[0].tag != der::kObjectIdentifier ||
      !std::ranges::equal(der.subspan(info[0].content, info[0].end - info[0].content), kSignedDataType) ||
      info[1].tag != kExplicitContent) {
    return not_signed_data("its content type is not signedData");
  }
  const Result<std::vector<der::Element>> content = children(der, info[1]);
  if (!content.ok()) return Error{content.error()};
  if (content.value().size() != 1 || content.value()[0].tag != der::kSequence) {
    return not_signed_data("its content is not one SEQUENCE");
  }
  const Result<std::vector<der::Element>> signed_data = children(der, content.value()[0]);
  if (!signed_data.ok()) return Error{signed_data.error()};
  const std::vector<der::Element>& fields = signed_data.value();
  if (fields.size() < 4 || fields.front().tag != der::kInteger || fields.back().tag != der::kSet) {
    return not_signed_data("its SignedData does not end in a SET of signer infos");
  }
  const Result<std::vector<der::Element>> signers = children(der, fields.back());
  if (!signers.ok()) return Error{signers.error()};
  if (signers.value().empty() || signers.value().back().tag != der::kSequence) {
    return not_signed_data("it has no signer info");
  }
  return std::vector<der::Element>{top, info[1], content.value()[0], fields.back(), signers.value().back()};
}

// A signer info's fields: a version first, and its signature value last but
// for the unauthenticated attributes, if it has any.
struct SignerFields {
  std::size_t end = 0;
  std::optional<der::Element> unauthenticated;
};

[[nodiscard]] Result<SignerFields> read_signer_fields(std::span<const std::uint8_t> der, const der::Element& signer) {
  const Result<std::vector<der::Element>> fields = children(der, signer);
  if (!fields.ok()) return Error{fields.error()};
  std::vector<der::Element> own = fields.value();
  SignerFields read;
  if (!own.empty() && own.back().tag == kUnauthenticatedAttributes) {
    read.unauthenticated = own.back();
    own.pop_back();
  }
  if (own.size() < 5 || own.front().tag != der::kInteger || own.back().tag != der::kOctetString) {
    return not_signed_data("its last signer info does not end in a signature value and unauthenticated attributes");
  }
  read.end = own.back().end;
  return read;
}

// One unauthenticated attribute: its type and its SET of values.
struct Attribute {
  der::Element whole;
  der::Element type;
  der::Element values;
};

[[nodiscard]] Result<std::vector<Attribute>> read_attributes(std::span<const std::uint8_t> der,
                                                             const der::Element& attributes) {
  const Result<std::vector<der::Element>> elements = children(der, attributes);
  if (!elements.ok()) return Error{elements.error()};
  std::vector<Attribute> read;
  const Error not_an_attribute = not_signed_data("an unauthenticated attribute is not a type and a SET of values");
  for (const der::Element& element : elements.value()) {
    if (element.tag != der::kSequence) return not_an_attribute;
    const Result<std::vector<der::Element>> parts = children(der, element);
    if (!parts.ok()) return Error{parts.error()};
    const std::vector<der::Element>& p = parts.value();
    if (p.size() != 2 || p[0].tag != der::kObjectIdentifier || p[1].tag != der::kSet) return not_an_attribute;
    read.push_back({.whole = element, .type = p[0], .values = p[1]});
  }
  return read;
}

// The unauthenticated attributes a new stamp keeps, and the stamp among them.
struct SplitAttributes {
  std::vector<der::Element> kept;
  std::optional<Stamp> stamp;
};

[[nodiscard]] Result<SplitAttributes> split_off_id_attributes(std::span<const std::uint8_t> der,
                                                              const der::Element& unauthenticated) {
  const Result<std::vector<Attribute>> attributes = read_attributes(der, unauthenticated);
  if (!attributes.ok()) return Error{attributes.error()};
  SplitAttributes split;
  for (const Attribute& attribute : attributes.value()) {
    if (!is_id_attribute_type(der, attribute.type)) {
      split.kept.push_back(attribute.whole);
      continue;
    }
    const Result<Stamp> carried = read_id_attribute_values(der, attribute.values);
    if (!carried.ok()) return Error{carried.error()};
    // Only an id attribute that ends the list ends the file, where the
    // installer reads its id; one further up is stale and gets replaced.
    if (&attribute == &attributes.value().back()) split.stamp = carried.value();
  }
  return split;
}

}  // namespace

Signature::Signature(ByteBuffer der, std::vector<der::Element> enclosing, std::size_t signer_fields_end,
                     std::vector<der::Element> kept_attributes, std::optional<Stamp> stamp)
    : der_(std::move(der)),
      enclosing_(std::move(enclosing)),
      signer_fields_end_(signer_fields_end),
      kept_attributes_(std::move(kept_attributes)),
      stamp_(std::move(stamp)) {}

Result<Signature> Signature::read(std::span<const std::uint8_t> der) {
  const Result<der::Element> top = whole_encoding(der);
  if (!top.ok()) return Error{top.error()};
  Result<std::vector<der::Element>> enclosing = path_to_last_signer(der, top.value());
  if (!enclosing.ok()) return Error{enclosing.error()};
  const Result<SignerFields> signer = read_signer_fields(der, enclosing.value().back());
  if (!signer.ok()) return Error{signer.error()};

  Result<SplitAttributes> attributes = SplitAttributes{};
  if (signer.value().unauthenticated) attributes = split_off_id_attributes(der, *signer.value().unauthenticated);
  if (!attributes.ok()) return Error{attributes.error()};
  SplitAttributes split = std::move(attributes).value();
  std::ranges::sort(split.kept, [&](const der::Element& a, const der::Element& b) {
    return der::precedes_in_set(der.subspan(a.begin, a.size()), der.subspan(b.begin, b.size()));
  });
  return Signature(ByteBuffer(der.begin(), der.end()), std::move(enclosing).value(), signer.value().end,
                   std::move(split.kept), std::move(split.stamp));
}

std::size_t Signature::kept_content_end(std::size_t i) const noexcept {
  return i + 1 < enclosing_.size() ? enclosing_[i + 1].begin : signer_fields_end_;
}

std::vector<std::size_t> Signature::enclosing_sizes(std::size_t attributes_size) const {
  std::vector<std::size_t> sizes(enclosing_.size());
  std::size_t inner = element_size(attributes_size);
  for (std::size_t i = enclosing_.size(); i-- > 0;) {
    sizes[i] = kept_content_end(i) - enclosing_[i].content + inner;
    inner = element_size(sizes[i]);
  }
  return sizes;
}

ByteBuffer Signature::stamped_with(const Stamp& stamp) const {
  std::size_t kept_size = 0;
  std::size_t longest_content = 0;
  for (const der::Element& attribute : kept_attributes_) {
    kept_size += attribute.size();
    longest_content = std::max(longest_content, attribute.end - attribute.content);
  }
  // Each byte of filler adds one byte to the whole, except where a length
  // grows a byte of its own, so a multiple of 8 comes within a few bytes.
  std::size_t filler = least_filler_sorting_after(longest_content);
  while (element_size(enclosing_sizes(kept_size + id_attribute_size(filler)).front()) % kEntryAlignment != 0) {
    ++filler;
  }
  const std::size_t attributes_size = kept_size + id_attribute_size(filler);
  const std::vector<std::size_t> sizes = enclosing_sizes(attributes_size);

  ByteBuffer stamped;
  stamped.reserve(element_size(sizes.front()));
  const auto copy = [&](std::size_t begin, std::size_t end) {
    stamped.insert(stamped.end(), der_.begin() + static_cast<std::ptrdiff_t>(begin),
                   der_.begin() + static_cast<std::ptrdiff_t>(end));
  };
  for (std::size_t i = 0; i < enclosing_.size(); ++i) {
    der::append_header(stamped, enclosing_[i].tag, sizes[i]);
    copy(enclosing_[i].content, kept_content_end(i));
  }
  der::append_header(stamped, kUnauthenticatedAttributes, attributes_size);
  for (const der::Element& attribute : kept_attributes_) copy(attribute.begin, attribute.end);
  append_id_attribute(stamped, stamp, filler);
  return stamped;
}

}  // namespace lumen::stamp
