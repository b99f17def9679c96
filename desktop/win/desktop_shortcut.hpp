#pragma once
// Desktop shortcuts through the script host's shell object ("WshShell").

#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

struct ShortcutDetails {
  Text arguments;
  // Nothing: the target's own first icon, or the shell's generic one for a
  // target without extension.
  std::optional<Text> icon;
  std::int32_t window_style = 0;
  Text description;
  Text hotkey;
};

struct DesktopShortcut {
  bool saved = false;  // the link file was written with its target
  Text link_path;      // the link file used, empty when the name made none
};

// The name a link is made under: a name holding a backslash is cut to its
// last component without extension, so that a previous link path given back
// yields the same link path.
[[nodiscard]] Text ShortcutNameOf(std::string_view name);

// Links target on the desktop under ShortcutNameOf(name), with ".lnk"
// appended unless the name holds it. An earlier link of that path is deleted
// first. Not saved when the name is no plain shortcut name (see
// IsPlainShortcutName), the target has no folder, there is no desktop
// folder or the shell object cannot be had or cannot save.
[[nodiscard]] DesktopShortcut CreateDesktopShortcut(std::string_view name, std::string_view target,
                                                    const ShortcutDetails& details = {});

}  // namespace lumen
