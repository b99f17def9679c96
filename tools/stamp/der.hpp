#pragma once
// DER, the ASN.1 encoding signatures are written in, as far as stamping one
// needs it: finding the elements of an encoding, and writing element headers
// for content whose size changed.

#include <cstdint>
#include <span>
#include <vector>

#include "runtime/byte_buffer.hpp"
#include "tools/stamp/result.hpp"

namespace lumen::stamp::der {

inline constexpr std::uint8_t kInteger = 0x02;
inline constexpr std::uint8_t kOctetString = 0x04;
inline constexpr std::uint8_t kObjectIdentifier = 0x06;
inline constexpr std::uint8_t kSequence = 0x30;
inline constexpr std::uint8_t kSet = 0x31;

// The tag of a constructed, context-specific element [n].
[[nodiscard]] constexpr std::uint8_t context_tag(unsigned n) noexcept { return static_cast<std::uint8_t>(0xA0 | n); }

// One element as it lies in the encoding it was read from: its tag at
// `begin`, its content from `content` to `end`.
struct Element {
  std::uint8_t tag = 0;
  std::size_t begin = 0;
  std::size_t content = 0;
  std::size_t end = 0;

  [[nodiscard]] std::size_t size() const noexcept { return end - begin; }
};

// The element whose tag is at `offset`, which must end by `limit`. Takes
// definite lengths only: indefinite ones are BER, which no signature uses.
[[nodiscard]] Result<Element> read_element(std::span<const std::uint8_t> der, std::size_t offset, std::size_t limit);

// The elements that make up a constructed element's content, in order;
// refuses content they do not fill exactly.
[[nodiscard]] Result<std::vector<Element>> read_children(std::span<const std::uint8_t> der, const Element& parent);

// Checks that every constructed element inside `element`, at any depth,
// holds whole elements and nothing else: the test of an encoding that is
// truncated or whose lengths were damaged.
[[nodiscard]] Status check_nesting(std::span<const std::uint8_t> der, const Element& element);

// Whether `a` comes before `b` in a DER SET OF, which orders its elements'
// encodings as octet strings, the shorter padded at its end with zero bytes.
[[nodiscard]] bool precedes_in_set(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) noexcept;

// The size of the tag and length in front of content of this size.
[[nodiscard]] std::size_t header_size(std::size_t content_size) noexcept;
void append_header(ByteBuffer& out, std::uint8_t tag, std::size_t content_size);

}  // namespace lumen::stamp::der
