#pragma once
// System libraries loaded by full path from the system folder, and the
// process's library search kept to that folder.

#include <windows.h>

namespace lumen::win {

// Limits the search for every library the process loads later by name, and
// for those libraries' own imports, to the system folder. Called first thing:
// an installer runs from a downloads folder, where a library of a wanted name
// may lie. Where the system lacks the call (Windows 7 without its 2011
// update) it takes the working folder out of the search; load_system_library
// then still keeps its own loads' imports away from the program's folder.
void restrict_library_search_to_system_folder() noexcept;

// The named library of the system folder, loaded, or null. Only the system
// folder is searched, so a library of the same name lying beside the
// installer (in a downloads folder, say) is never loaded, and neither is a
// library it imports: those come from the system folder too (or, on systems
// without the search flags, with the library's own folder searched in place
// of the program's). It stays loaded for the rest of the run.
[[nodiscard]] HMODULE load_system_library(const char* name) noexcept;

}  // namespace lumen::win
