#pragma once
// What a shortcut holds besides its target: the working folder and the icon.

#include <optional>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// Every backslash-separated piece of the target but the last, each followed
// by a backslash (C:\a\b\app.exe gives C:\a\b\). Nothing for a target with
// fewer than two pieces, which makes no shortcut.
[[nodiscard]] std::optional<Text> WorkingFolderOf(std::string_view target);

// The icon when one was given; otherwise the shell's generic icon for a
// target without extension, and the target's own first icon for one with.
[[nodiscard]] Text IconLocationFor(std::optional<std::string_view> icon, std::string_view target,
                                   std::string_view target_extension);

// The location with an explicit icon index: ",0" (the first icon) is added
// unless it ends in a comma and a number already. The same icon to the
// shell, for shell objects that insist on the index.
[[nodiscard]] Text WithIconIndex(std::string_view location);

}  // namespace lumen
