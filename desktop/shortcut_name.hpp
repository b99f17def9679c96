#pragma once
// Names of desktop shortcuts: which names are safe to make a link file of,
// and the link path a name gives.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// True for a name that can only ever name a file directly in the desktop
// folder and that fits into a quoted script string: no character Windows
// forbids in file names (control characters, < > : " / \ | ? *), no "..",
// no trailing dot or space. Double-byte characters pass whole, whatever
// their second byte. The empty name passes: its link is named ".lnk".
[[nodiscard]] bool IsPlainShortcutName(std::string_view name);

// desktop_folder (ending in a backslash) + name, with ".lnk" appended unless
// the name already holds it in any letter case.
[[nodiscard]] Text LinkPathFor(std::string_view name, std::string_view desktop_folder);

}  // namespace lumen
