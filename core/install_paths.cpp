#include "core/install_paths.hpp"

namespace lumen {

bool EndsWithBackslash(std::string_view path) noexcept { return last_character(path) == "\\"; }

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
