#include "desktop/app_shortcut.hpp"

#include <optional>

#include "runtime/file_name.hpp"

namespace lumen {

void MakeAppShortcut(std::string_view app_name, std::string_view program_path, std::string_view icon_path,
                     ShortcutRoutes& routes) {
  const std::optional<Text> name = safe_file_name(app_name);
  if (!name) return;
  if (!routes.ThroughShellObject(*name, program_path, icon_path)) {
    routes.ThroughScript(*name, program_path, icon_path);
  }
}

}  // namespace lumen
