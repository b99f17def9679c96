#pragma once
// The checks an install folder passes before anything is written into it.

#include <string_view>

namespace lumen {

// Creates every missing folder of the path (a backslash is appended when it
// has none, so the last part counts as a folder too); true when they exist.
[[nodiscard]] bool EnsureFolderPath(std::string_view path);

// True when the path names an existing folder.
[[nodiscard]] bool IsExistingFolder(std::string_view path);

// True when a new file can be created in the folder. The probe file is
// removed again.
[[nodiscard]] bool CanCreateFilesIn(std::string_view folder);

// Creates the folder when missing; true when it then exists and takes new
// files, so that an install into it is not cut short by the first write.
[[nodiscard]] bool PrepareInstallFolder(std::string_view folder);

}  // namespace lumen
