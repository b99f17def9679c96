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

}  // namespace lumen
