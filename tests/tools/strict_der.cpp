#include "tests/tools/strict_der.hpp"

#include <algorithm>
#include <array>
#include <variant>
#include <vector>

namespace lumen::test {
namespace {

using Fault = std::optional<std::string>;

constexpr std::uint8_t kConstructed = 0x20;
constexpr std::uint8_t kClassMask = 0xC0;
constexpr std::uint8_t kNumberMask = 0x1F;
constexpr std::uint8_t kLong = 0x80;
constexpr std::uint8_t kBoolean = 1, kInteger = 2, kBitString = 3, kNull = 5, kOid = 6, kEnumerated = 10,
                       kSequence = 16, kSet = 17;
constexpr std::uint8_t kSetTag = 0x31;
constexpr std::uint8_t kContext0 = 0xA0, kContext1 = 0xA1;
constexpr std::array<std::uint8_t, 9> kSignedData = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02};
constexpr int kDeepest = 100;

struct Tlv {
  std::uint8_t tag = 0;
  std::size_t begin = 0;
  std::size_t content = 0;
  std::size_t end = 0;

  [[nodiscard]] std::size_t length() const { return end - content; }
  [[nodiscard]] bool constructed() const { return (tag & kConstructed) != 0; }
  [[nodiscard]] bool universal() const { return (tag & kClassMask) == 0; }
  [[nodiscard]] std::uint8_t number() const { return tag & kNumberMask; }
};

// What an element is to the SignedData around it, which decides where a SET
// OF hides behind a context tag.
enum class Role {
  Any,
  SignedDataContent,  // the [0] of a ContentInfo of type signedData
  SignedData,
  SignerInfos,
  SignerInfo,
  ImplicitSetOf,
};

[[nodiscard]] std::string at(std::size_t offset, const std::string& what) {
  return what + " at byte " + std::to_string(offset);
}

class Checker {
 public:
  explicit Checker(std::span<const std::uint8_t> der) : der_(der) {}

  [[nodiscard]] Fault check_whole() const {
    const std::variant<Tlv, std::string> top = read(0, der_.size());
    if (const auto* fault = std::get_if<std::string>(&top)) return *fault;
    const Tlv& element = std::get<Tlv>(top);
    if (element.end != der_.size()) return at(element.end, "bytes after the encoding");
    return check(element, Role::Any, 0);
  }

 private:
  [[nodiscard]] std::span<const std::uint8_t> bytes(std::size_t begin, std::size_t end) const {
    return der_.subspan(begin, end - begin);
  }

  [[nodiscard]] std::variant<Tlv, std::string> read(std::size_t offset, std::size_t limit) const {
    if (limit - offset < 2) return at(offset, "an element cut off");
    Tlv tlv{.tag = der_[offset], .begin = offset, .content = offset + 2};
    if (tlv.number() == kNumberMask) return at(offset, "a multi-byte tag");
    const std::uint8_t first = der_[offset + 1];
    std::size_t length = first;
    if (first == kLong) return at(offset, "an indefinite length");
    if ((first & kLong) != 0) {
      const std::size_t count = first & ~kLong;
      if (count > 4 || count > limit - tlv.content) return at(offset, "a length that does not fit");
      if (der_[tlv.content] == 0) return at(offset, "a length with a leading zero byte");
      length = 0;
      for (std::size_t i = 0; i < count; ++i) length = length << 8 | der_[tlv.content + i];
      if (length < kLong) return at(offset, "a long-form length for a short one");
      tlv.content += count;
    }
    if (length > limit - tlv.content) return at(offset, "an element longer than what holds it");
    tlv.end = tlv.content + length;
    return tlv;
  }

  [[nodiscard]] std::variant<std::vector<Tlv>, std::string> children(const Tlv& parent) const {
    std::vector<Tlv> found;
    for (std::size_t offset = parent.content; offset < parent.end;) {
      std::variant<Tlv, std::string> child = read(offset, parent.end);
      if (auto* fault = std::get_if<std::string>(&child)) return std::move(*fault);
      found.push_back(std::get<Tlv>(child));
      offset = found.back().end;
    }
    return found;
  }

  [[nodiscard]] Fault check_primitive(const Tlv& e) const {
    if (!e.universal()) return std::nullopt;
    const std::span<const std::uint8_t> c = bytes(e.content, e.end);
    switch (e.number()) {
      case kBoolean:
        if (c.size() != 1 || (c[0] != 0x00 && c[0] != 0xFF)) return at(e.begin, "a BOOLEAN not 00 or FF");
        break;
      case kInteger:
      case kEnumerated:
        if (c.empty()) return at(e.begin, "an empty INTEGER");
        if (c.size() > 1 && ((c[0] == 0x00 && c[1] < 0x80) || (c[0] == 0xFF && c[1] >= 0x80))) {
          return at(e.begin, "an INTEGER longer than it needs");
        }
        break;
      case kNull:
        if (!c.empty()) return at(e.begin, "a NULL with content");
        break;
      case kBitString:
        if (c.empty() || c[0] > 7 || (c.size() == 1 && c[0] != 0) ||
            (c.size() > 1 && (c.back() & ((1u << c[0]) - 1)) != 0)) {
          return at(e.begin, "a BIT STRING whose unused bits are not as DER writes them");
        }
        break;
      case kOid:
        if (c.empty() || (c.back() & kLong) != 0) return at(e.begin, "an OBJECT IDENTIFIER cut off");
        for (std::size_t i = 0; i < c.size(); ++i) {
          if (c[i] == kLong && (i == 0 || (c[i - 1] & kLong) == 0)) {
            return at(e.begin, "an OBJECT IDENTIFIER arc with a leading zero");
          }
        }
        break;
      case kSequence:
      case kSet:
        return at(e.begin, "a primitive SEQUENCE or SET");
      default:
        break;
    }
    return std::nullopt;
  }

  [[nodiscard]] Fault check_set_order(const std::vector<Tlv>& elements) const {
    for (std::size_t i = 1; i < elements.size(); ++i) {
      const std::span<const std::uint8_t> before = bytes(elements[i - 1].begin, elements[i - 1].end);
      const std::span<const std::uint8_t> after = bytes(elements[i].begin, elements[i].end);
      // Octet strings compared with the shorter padded with zero bytes.
      std::vector<std::uint8_t> a(before.begin(), before.end());
      std::vector<std::uint8_t> b(after.begin(), after.end());
      a.resize(std::max(a.size(), b.size()), 0);
      b.resize(a.size(), 0);
      if (b < a) return at(elements[i].begin, "a SET OF element out of DER order");
    }
    return std::nullopt;
  }

  [[nodiscard]] bool is_signed_data_content_info(const Tlv& e, const std::vector<Tlv>& parts) const {
    return e.tag == (kConstructed | kSequence) && parts.size() == 2 && parts[0].tag == kOid &&
           std::ranges::equal(bytes(parts[0].content, parts[0].end), kSignedData) && parts[1].tag == kContext0;
  }

  [[nodiscard]] Role role_of_child(const Tlv& parent, Role role, const std::vector<Tlv>& parts,
                                   std::size_t i) const {
    const Tlv& child = parts[i];
    switch (role) {
      case Role::Any:
        return is_signed_data_content_info(parent, parts) && i == 1 ? Role::SignedDataContent : Role::Any;
      case Role::SignedDataContent:
        return Role::SignedData;
      case Role::SignedData:
        if (child.tag == kContext0 || child.tag == kContext1) return Role::ImplicitSetOf;
        return i + 1 == parts.size() && child.tag == kSetTag ? Role::SignerInfos : Role::Any;
      case Role::SignerInfos:
        return Role::SignerInfo;
      case Role::SignerInfo:
        return child.tag == kContext0 || child.tag == kContext1 ? Role::ImplicitSetOf : Role::Any;
      case Role::ImplicitSetOf:
        return Role::Any;
    }
    return Role::Any;
  }

  [[nodiscard]] Fault check(const Tlv& e, Role role, int depth) const {
    if (!e.constructed()) return check_primitive(e);
    if (e.universal() && e.number() != kSequence && e.number() != kSet) {
      return at(e.begin, "a constructed encoding of a type DER writes primitive");
    }
    if (depth == kDeepest) return at(e.begin, "elements nested too deep");
    std::variant<std::vector<Tlv>, std::string> found = children(e);
    if (auto* fault = std::get_if<std::string>(&found)) return std::move(*fault);
    const std::vector<Tlv>& parts = std::get<std::vector<Tlv>>(found);
    if (e.tag == kSetTag || role == Role::ImplicitSetOf) {
      if (Fault fault = check_set_order(parts)) return fault;
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (Fault fault = check(parts[i], role_of_child(e, role, parts, i), depth + 1)) return fault;
    }
    return std::nullopt;
  }

  std::span<const std::uint8_t> der_;
};

}  // namespace

std::optional<std::string> strict_der_fault(std::span<const std::uint8_t> der) {
  return Checker(der).check_whole();
}

}  // namespace lumen::test
