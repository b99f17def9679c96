#include "desktop/shortcut_name.hpp"

namespace lumen {
namespace {

[[nodiscard]] bool is_forbidden_in_file_names(char c) noexcept {
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x20 || byte == 0x7F) return true;
  return std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}

}  // namespace

bool IsPlainShortcutName(std::string_view name) {
  // A double-byte character's second byte can be 0x5C or 0x7C without being
  // a backslash or a bar.
  for (std::string_view c : characters_of(name)) {
    if (is_cut_character(c)) return false;
    if (c.size() == 1 && is_forbidden_in_file_names(c[0])) return false;
  }
  if (name.find("..") != std::string_view::npos) return false;
  return name.empty() || (name.back() != '.' && name.back() != ' ');
}

Text LinkPathFor(std::string_view name, std::string_view desktop_folder) {
  const bool named_as_link = find_text(name, ".lnk", 1, true) > 0;
  return Text(desktop_folder) + Text(name) + (named_as_link ? "" : ".lnk");
}

}  // namespace lumen
