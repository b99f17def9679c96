#include "core/install_paths.hpp"

namespace lumen {

bool EndsWithBackslash(std::string_view path) noexcept {
  bool last_is_backslash = false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    last_is_backslash = path[i] == '\\';
    // A lead byte and the byte after it are one character.
    if (is_lead_byte(path[i]) && i + 1 < path.size()) ++i;
  }
  return last_is_backslash;
}

Text WithTrailingBackslash(std::string_view path) {
  Text folder(path);
  if (!EndsWithBackslash(folder)) folder += '\\';
  return folder;
}

Text InstallFolderInside(std::string_view chosen, std::string_view app_name) {
  return WithTrailingBackslash(chosen) + Text(app_name) + "\\";
}

Text DefaultInstallFolder(std::string_view app_name) { return "C:\\" + Text(app_name) + "\\"; }

Text ProgramPathIn(std::string_view install_folder, std::string_view app_name) {
  return Text(install_folder) + Text(app_name) + ".exe";
}

}  // namespace lumen
