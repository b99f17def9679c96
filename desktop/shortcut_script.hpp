#pragma once
// The script that gives a link made without the shell object its icon.

#include <optional>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// Seven lines joined by CR LF, no line end after the last: find the link
// named name + ".lnk" on the desktop, set its icon to the first icon of the
// icon file, save it. Nothing when the name or the icon path could break out
// of their quoted strings (a double quote, a line break or any other control
// character): such a script is never written.
[[nodiscard]] std::optional<Text> ShortcutScriptText(std::string_view name, std::string_view icon);

}  // namespace lumen
