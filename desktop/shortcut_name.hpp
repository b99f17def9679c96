#pragma once
// Names of desktop shortcuts: which names are safe to make a link file of,
// and the link path a name gives.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// True for a name that names one file directly in the desktop folder as it
// stands and fits into a quoted script string: a safe file name (see
// safe_file_name) that Windows would store unchanged. The routes that make
// links take only such names; a name from the network is made one first.
[[nodiscard]] bool IsPlainShortcutName(std::string_view name);

// desktop_folder (ending in a backslash) + name, with ".lnk" appended unless
// the name already holds it in any letter case.
[[nodiscard]] Text LinkPathFor(std::string_view name, std::string_view desktop_folder);

}  // namespace lumen
