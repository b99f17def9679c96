#include "desktop/app_shortcut.hpp"

#include "desktop/shortcut_name.hpp"
#include "runtime/text.hpp"

namespace lumen {

void MakeAppShortcut(std::string_view app_name, std::string_view program_path, std::string_view install_folder,
                     ShortcutRoutes& routes) {
  if (!IsPlainShortcutName(app_name)) return;
  const Text icon = Text(install_folder) + "logo.ico";
  if (!routes.ThroughShellObject(app_name, program_path, icon)) routes.ThroughScript(app_name, program_path, icon);
}

}  // namespace lumen
