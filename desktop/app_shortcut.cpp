#include "desktop/app_shortcut.hpp"

#include "desktop/shortcut_name.hpp"

namespace lumen {

void MakeAppShortcut(std::string_view name, std::string_view program_path, std::string_view icon_path,
                     ShortcutRoutes& routes) {
  if (!IsPlainShortcutName(name)) return;
  if (!routes.ThroughShellObject(name, program_path, icon_path)) {
    routes.ThroughScript(name, program_path, icon_path);
  }
}

}  // namespace lumen
