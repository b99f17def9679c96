#include "runtime/file_name.hpp"

#include <array>

namespace lumen {
namespace {

[[nodiscard]] bool is_forbidden_in_file_names(char c) noexcept {
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x20 || byte == 0x7F) return true;
  return std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}

// A double-byte character's second byte can be 0x5C or 0x7C without being a
// backslash or a bar, so characters are judged whole.
[[nodiscard]] bool has_only_file_name_characters(std::string_view name) noexcept {
  for (std::string_view c : characters_of(name)) {
    if (is_cut_character(c)) return false;
    if (c.size() == 1 && is_forbidden_in_file_names(c[0])) return false;
  }
  return true;
}

[[nodiscard]] bool is_dot_or_space(std::string_view character) noexcept {
  return character == "." || character == " ";
}

// Windows drops trailing dots and spaces from a name as it stores it.
[[nodiscard]] std::string_view without_trailing_dots_and_spaces(std::string_view name) noexcept {
  std::size_t end = 0;
  for (auto it = characters_of(name).begin(); it != characters_of(name).end(); ++it) {
    if (!is_dot_or_space(*it)) end = it.offset() + (*it).size();
  }
  return name.substr(0, end);
}

// Windows opens the device whatever extension follows its name, and also
// with spaces before the extension ("CON .txt").
[[nodiscard]] bool is_reserved_device_name(std::string_view name) {
  const Text lower = to_lower(name.substr(0, name.find('.')));
  const std::string_view stem = without_trailing_dots_and_spaces(lower);
  constexpr std::array<std::string_view, 6> kPlain = {"con", "prn", "aux", "nul", "conin$", "conout$"};
  for (std::string_view device : kPlain) {
    if (stem == device) return true;
  }
  const bool numbered = stem.size() == 4 && stem[3] >= '0' && stem[3] <= '9';
  return numbered && (stem.starts_with("com") || stem.starts_with("lpt"));
}

}  // namespace

std::optional<Text> safe_file_name(std::string_view name) {
  if (!has_only_file_name_characters(name)) return std::nullopt;
  const std::string_view stored = without_trailing_dots_and_spaces(name);
  if (stored.empty() || is_reserved_device_name(stored)) return std::nullopt;
  return Text(stored);
}

}  // namespace lumen
