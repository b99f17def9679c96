#pragma once
// The installed program's desktop shortcut, named after the distributor's
// name for the application and showing the icon the install writes.

#include <string_view>

namespace lumen {

// The two ways a shortcut is made, the second only when the first fails.
class ShortcutRoutes {
 public:
  ShortcutRoutes() = default;
  ShortcutRoutes(const ShortcutRoutes&) = delete;
  ShortcutRoutes& operator=(const ShortcutRoutes&) = delete;
  virtual ~ShortcutRoutes() = default;

  // Through the script host's shell object; true when the link was saved.
  [[nodiscard]] virtual bool ThroughShellObject(std::string_view name, std::string_view target,
                                                std::string_view icon) = 0;
  // Through the shell link object and a generated script that sets the icon.
  virtual void ThroughScript(std::string_view name, std::string_view target, std::string_view icon) = 0;
};

// Links the program on the desktop under `name` + ".lnk", as it stands,
// with the icon file the install wrote next to it. The name comes from the
// network: one that is no plain shortcut name (see IsPlainShortcutName) makes
// no shortcut at all. Failures are silent; the install goes on without a link.
void MakeAppShortcut(std::string_view name, std::string_view program_path, std::string_view icon_path,
                     ShortcutRoutes& routes);

}  // namespace lumen
