#pragma once
// The shortcut routes of the running system.

#include "desktop/app_shortcut.hpp"

namespace lumen {

class SystemShortcutRoutes final : public ShortcutRoutes {
 public:
  [[nodiscard]] bool ThroughShellObject(std::string_view name, std::string_view target,
                                        std::string_view icon) override;
  void ThroughScript(std::string_view name, std::string_view target, std::string_view icon) override;
};

// MakeAppShortcut with the system's routes, under the name ShortcutNameOf
// gives: a distributor's name holding a backslash is cut to its last
// component without extension.
void MakeAppShortcut(std::string_view app_name, std::string_view program_path, std::string_view icon_path);

}  // namespace lumen
