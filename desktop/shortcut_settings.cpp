#include "desktop/shortcut_settings.hpp"

namespace lumen {

std::optional<Text> WorkingFolderOf(std::string_view target) {
  const Array<Text> pieces = split_text(target, "\\");
  if (pieces.count() < 2) return std::nullopt;
  Text folder;
  for (std::int32_t i = 1; i < pieces.count(); ++i) folder += pieces[i] + "\\";
  return folder;
}

Text IconLocationFor(std::optional<std::string_view> icon, std::string_view target,
                     std::string_view target_extension) {
  if (icon) return Text(*icon);
  if (target_extension.empty()) return "SHELL32.dll,4";
  return Text(target) + ",0";
}

Text WithIconIndex(std::string_view location) {
  const std::size_t comma = location.rfind(',');
  if (comma != std::string_view::npos) {
    std::string_view index = location.substr(comma + 1);
    if (index.starts_with('-')) index.remove_prefix(1);
    const bool numbered = !index.empty() && index.find_first_not_of("0123456789") == std::string_view::npos;
    if (numbered) return Text(location);
  }
  return Text(location) + ",0";
}

}  // namespace lumen
