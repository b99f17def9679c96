#include "tools/stamp/der.hpp"

#include <algorithm>
#include <string>

namespace lumen::stamp::der {
namespace {

constexpr std::uint8_t kConstructed = 0x20;
constexpr std::uint8_t kTagNumberMask = 0x1F;
constexpr std::uint8_t kLongLength = 0x80;
// Lengths of up to four bytes: no signature in a PE32 file is 4 GiB.
constexpr std::size_t kLongestLength = 4;
// Signatures nest a few dozen levels deep at most (a certificate inside a
// nested signature); far deeper means damage, and recursion has to stop.
constexpr int kDeepestNesting = 100;

[[nodiscard]] Error at(std::size_t offset, const std::string& what) {
  return Error{what + " at byte " + std::to_string(offset)};
}

[[nodiscard]] bool constructed(const Element& element) noexcept { return (element.tag & kConstructed) != 0; }

[[nodiscard]] Status check_nesting_below(std::span<const std::uint8_t> der, const Element& element, int depth) {
  if (!constructed(element)) return Done{};
  if (depth == kDeepestNesting) {
    return at(element.begin, "elements nested more than " + std::to_string(depth) + " deep");
  }
  const Result<std::vector<Element>> children = read_children(der, element);
  if (!children.ok()) return Error{children.error()};
  for (const Element& child : children.value()) {
    const Status checked = check_nesting_below(der, child, depth + 1);
    if (!checked.ok()) return checked;
  }
  return Done{};
}

}  // namespace

Result<Element> read_element(std::span<const std::uint8_t> der, std::size_t offset, std::size_t limit) {
  if (limit > der.size() || offset + 2 > limit) return at(offset, "an element cut off");
  Element element{.tag = der[offset], .begin = offset, .content = offset + 2, .end = 0};
  if ((element.tag & kTagNumberMask) == kTagNumberMask) return at(offset, "a multi-byte tag");
  const std::uint8_t first = der[offset + 1];
  std::size_t length = first;
  if (first == kLongLength) return at(offset, "an indefinite length (BER, not DER)");
  if ((first & kLongLength) != 0) {
    const std::size_t length_bytes = first & ~kLongLength;
    if (length_bytes > kLongestLength) return at(offset, "a length of " + std::to_string(length_bytes) + " bytes");
    if (length_bytes > limit - element.content) return at(offset, "an element cut off");
    length = 0;
    for (std::size_t i = 0; i < length_bytes; ++i) length = length << 8 | der[element.content + i];
    element.content += length_bytes;
  }
  if (length > limit - element.content) {
    return at(offset, "an element of " + std::to_string(length) + " bytes with only " +
                          std::to_string(limit - element.content) + " left for it");
  }
  element.end = element.content + length;
  return element;
}

Result<std::vector<Element>> read_children(std::span<const std::uint8_t> der, const Element& parent) {
  std::vector<Element> children;
  for (std::size_t offset = parent.content; offset < parent.end;) {
    const Result<Element> child = read_element(der, offset, parent.end);
    if (!child.ok()) return Error{child.error()};
    children.push_back(child.value());
    offset = child.value().end;
  }
  return children;
}

Status check_nesting(std::span<const std::uint8_t> der, const Element& element) {
  return check_nesting_below(der, element, 0);
}

bool precedes_in_set(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) noexcept {
  const std::size_t common = std::min(a.size(), b.size());
  const auto [in_a, in_b] = std::ranges::mismatch(a.first(common), b.first(common));
  if (in_a != a.begin() + static_cast<std::ptrdiff_t>(common)) return *in_a < *in_b;
  // Equal as far as the shorter goes: b comes later only where its rest is
  // more than the zeros a is padded with.
  return std::ranges::any_of(b.subspan(common), [](std::uint8_t byte) { return byte != 0; });
}

std::size_t header_size(std::size_t content_size) noexcept {
  std::size_t size = 2;
  if (content_size >= kLongLength) {
    for (std::size_t rest = content_size; rest != 0; rest >>= 8) ++size;
  }
  return size;
}

void append_header(ByteBuffer& out, std::uint8_t tag, std::size_t content_size) {
  out.push_back(tag);
  if (content_size < kLongLength) {
    out.push_back(static_cast<std::uint8_t>(content_size));
    return;
  }
  const std::size_t length_bytes = header_size(content_size) - 2;
  out.push_back(static_cast<std::uint8_t>(kLongLength | length_bytes));
  for (std::size_t i = length_bytes; i-- > 0;) out.push_back(static_cast<std::uint8_t>(content_size >> (8 * i)));
}

}  // namespace lumen::stamp::der
