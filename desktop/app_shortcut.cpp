#include "desktop/app_shortcut.hpp"

#include "desktop/shortcut_name.hpp"

namespace lumen {

void MakeAppShortcut(std::string_view app_name, std::string_view program_path, std::string_view icon_path,
                     ShortcutRoutes& routes) {
  if (!IsPlainShortcutName(app_name)) return;
  if (!routes.ThroughShellObject(app_name, program_path, icon_path)) {
    routes.ThroughScript(app_name, program_path, icon_path);
  }
}

}  // namespace lumen
