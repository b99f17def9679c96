#include "core/install_paths.hpp"

#include "runtime/folder_path.hpp"

namespace lumen {

Text InstallFolderInside(std::string_view chosen, std::string_view app_name) {
  return WithTrailingBackslash(chosen) + Text(app_name) + "\\";
}

Text DefaultInstallFolder(std::string_view app_name) { return "C:\\" + Text(app_name) + "\\"; }

Text ProgramPathIn(std::string_view install_folder, std::string_view app_name) {
  return Text(install_folder) + Text(app_name) + ".exe";
}

}  // namespace lumen
