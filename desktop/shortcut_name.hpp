#pragma once
// Names of desktop shortcuts: which names are safe to make a link file of,
// and the link path a name gives.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// True for a name that, made the link's file name (see LinkPathFor), names
// one file directly in the desktop folder and fits into a quoted script
// string: no separator, drive colon or other character Windows forbids in
// file names, no double-byte character cut in half, no device name (CON,
// NUL, COM1 ..., with an extension too), and not "." or "..". Trailing dots
// and spaces pass, since ".lnk" follows them, and so does the empty name,
// whose link is ".lnk". The routes that make links take only such names.
[[nodiscard]] bool IsPlainShortcutName(std::string_view name);

// desktop_folder (ending in a backslash) + name, with ".lnk" appended unless
// the name already holds it in any letter case.
[[nodiscard]] Text LinkPathFor(std::string_view name, std::string_view desktop_folder);

}  // namespace lumen
