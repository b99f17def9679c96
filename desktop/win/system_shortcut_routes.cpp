#include "desktop/win/system_shortcut_routes.hpp"

#include "desktop/shortcut_settings.hpp"
#include "desktop/win/desktop_shortcut.hpp"
#include "desktop/win/script_shortcut.hpp"

namespace lumen {

bool SystemShortcutRoutes::ThroughShellObject(std::string_view name, std::string_view target,
                                              std::string_view icon) {
  ShortcutDetails details;
  details.icon = Text(icon);
  return CreateDesktopShortcut(name, target, details).saved;
}

// The link gets the same working folder as on the shell object's route.
void SystemShortcutRoutes::ThroughScript(std::string_view name, std::string_view target, std::string_view icon) {
  const Text working_folder = WorkingFolderOf(target).value_or(Text{});
  CreateShortcutByScript({.name = name, .target = target, .description = {}, .arguments = {},
                          .working_folder = working_folder, .icon = icon});
}

// Both routes name the link alike, the script's too.
void MakeAppShortcut(std::string_view app_name, std::string_view program_path, std::string_view icon_path) {
  SystemShortcutRoutes routes;
  MakeAppShortcut(ShortcutNameOf(app_name), program_path, icon_path, routes);
}

}  // namespace lumen
