#pragma once
// System libraries loaded by full path from the system folder.

#include <windows.h>

namespace lumen::win {

// The named library of the system folder, loaded, or null. Only the system
// folder is searched, so a library of the same name lying beside the
// installer (in a downloads folder, say) is never loaded. It stays loaded for
// the rest of the run.
[[nodiscard]] HMODULE load_system_library(const char* name) noexcept;

}  // namespace lumen::win
