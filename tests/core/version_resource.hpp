#pragma once
// A program's version information (VS_VERSIONINFO) read from the bytes of its
// version resource: the fixed part, the string tables and the translations.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumen::test {

struct VersionInfo {
  std::array<std::uint16_t, 4> file_version{};
  std::array<std::uint16_t, 4> product_version{};
  std::uint32_t file_os = 0;
  std::uint32_t file_type = 0;
  // Table key (language and code page, such as "080404b0") to the table's
  // names and texts, in UTF-8.
  std::map<std::string, std::map<std::string, std::string>> string_tables;
  // VarFileInfo\Translation: the language in the low word, the code page in
  // the high word.
  std::vector<std::uint32_t> translations;
};

// Nothing when the block is not a well-formed VS_VERSIONINFO.
[[nodiscard]] std::optional<VersionInfo> ReadVersionInfo(std::span<const std::uint8_t> block);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
[[nodiscard]] std::string Utf8(std::u16string_view text);

}  // namespace lumen::test
