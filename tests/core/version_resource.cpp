#include "tests/core/version_resource.hpp"

namespace lumen::test {
namespace {

constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoSize = 52;

// One node of the block: wLength, wValueLength, wType, the key, the value
// and the children, each part aligned to 4 bytes from the block's start.
struct Node {
  std::u16string key;
  bool text = false;
  std::span<const std::uint8_t> value;
  std::vector<Node> children;
};

std::uint32_t Number(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[at + i];
  return value;
}

constexpr std::size_t Aligned(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

std::optional<Node> ReadNode(std::span<const std::uint8_t> block, std::size_t at, std::size_t limit) {
  if (at + 6 > limit) return std::nullopt;
  const std::size_t length = Number(block, at, 2);
  const std::size_t value_length = Number(block, at + 2, 2);
  const std::uint32_t type = Number(block, at + 4, 2);
  const std::size_t end = at + length;
  if (length < 6 || end > limit || type > 1) return std::nullopt;
  Node node;
  node.text = type == 1;
  std::size_t position = at + 6;
  for (;; position += 2) {
    if (position + 2 > end) return std::nullopt;
    const auto unit = static_cast<char16_t>(Number(block, position, 2));
    if (unit == 0) break;
    node.key.push_back(unit);
  }
  position = Aligned(position + 2);
  // A text's length counts UTF-16 units, a binary value's counts bytes.
  const std::size_t value_size = node.text ? 2 * value_length : value_length;
  if (value_size > 0) {
    if (position + value_size > end) return std::nullopt;
    node.value = block.subspan(position, value_size);
    position = Aligned(position + value_size);
  }
  while (position < end) {
    std::optional<Node> child = ReadNode(block, position, end);
    if (!child) return std::nullopt;
    position = Aligned(position + Number(block, position, 2));
    node.children.push_back(std::move(*child));
  }
  return node;
}

// A text value up to its terminating zero.
std::u16string TextOf(const Node& node) {
  std::u16string text;
  for (std::size_t at = 0; at + 2 <= node.value.size(); at += 2) {
    const auto unit = static_cast<char16_t>(Number(node.value, at, 2));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

std::array<std::uint16_t, 4> VersionOf(std::span<const std::uint8_t> fixed, std::size_t at) {
  const std::uint32_t high = Number(fixed, at, 4);
  const std::uint32_t low = Number(fixed, at + 4, 4);
  return {static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high),
          static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low)};
}

bool ReadFixedPart(const Node& root, VersionInfo& info) {
  const std::span<const std::uint8_t> fixed = root.value;
  if (fixed.size() != kFixedInfoSize || Number(fixed, 0, 4) != kFixedInfoSignature) return false;
  info.file_version = VersionOf(fixed, 8);
  info.product_version = VersionOf(fixed, 16);
  info.file_os = Number(fixed, 32, 4);
  info.file_type = Number(fixed, 36, 4);
  return true;
}

void ReadStrings(const Node& string_file_info, VersionInfo& info) {
  for (const Node& table : string_file_info.children) {
    auto& strings = info.string_tables[Utf8(table.key)];
    for (const Node& entry : table.children) strings[Utf8(entry.key)] = Utf8(TextOf(entry));
  }
}

void ReadTranslations(const Node& var_file_info, VersionInfo& info) {
  for (const Node& var : var_file_info.children) {
    if (var.key != u"Translation") continue;
    for (std::size_t at = 0; at + 4 <= var.value.size(); at += 4) info.translations.push_back(Number(var.value, at, 4));
  }
}

}  // namespace

std::optional<VersionInfo> ReadVersionInfo(std::span<const std::uint8_t> block) {
  const std::optional<Node> root = ReadNode(block, 0, block.size());
  VersionInfo info;
  if (!root || root->key != u"VS_VERSION_INFO" || !ReadFixedPart(*root, info)) return std::nullopt;
  for (const Node& child : root->children) {
    if (child.key == u"StringFileInfo") ReadStrings(child, info);
    if (child.key == u"VarFileInfo") ReadTranslations(child, info);
  }
  return info;
}

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | code >> 6));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | code >> 12));
      out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | code >> 18));
      out.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

}  // namespace lumen::test
