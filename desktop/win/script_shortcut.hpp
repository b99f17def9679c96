#pragma once
// Desktop shortcuts without the shell object: the shell link object makes
// the link, and a generated script run by the system's script host gives it
// its icon.

#include <string_view>

namespace lumen {

struct ScriptShortcut {
  std::string_view name;  // a plain shortcut name (see IsPlainShortcutName), or nothing is made
  std::string_view target;
  std::string_view description;
  std::string_view arguments;
  std::string_view working_folder;
  std::string_view icon;
};

// Writes name + ".vbs" into the temporary folder (trying to open it a bounded
// number of times), links the target on the desktop, runs the script and
// deletes it half a second later. Silent: every failure just ends the route.
void CreateShortcutByScript(const ScriptShortcut& shortcut);

}  // namespace lumen
