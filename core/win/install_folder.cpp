#include "core/win/install_folder.hpp"

#include <windows.h>
#include <dbghelp.h>
#include <shlwapi.h>

#include "core/install_paths.hpp"
#include "runtime/text.hpp"

namespace lumen {

bool EnsureFolderPath(std::string_view path) {
  const Text folder = WithTrailingBackslash(path);
  return MakeSureDirectoryPathExists(folder.c_str()) != FALSE;
}

bool IsExistingFolder(std::string_view path) {
  const Text folder(path);
  return PathIsDirectoryA(folder.c_str()) == FILE_ATTRIBUTE_DIRECTORY;
}

bool CanCreateFilesIn(std::string_view folder) {
  const Text where(folder);
  char probe[MAX_PATH] = {};
  // With 0 for the number the system picks an unused name and creates it.
  if (GetTempFileNameA(where.c_str(), "lmn", 0, probe) == 0) return false;
  DeleteFileA(probe);
  return true;
}

bool PrepareInstallFolder(std::string_view folder) {
  (void)EnsureFolderPath(folder);
  return IsExistingFolder(folder) && CanCreateFilesIn(folder);
}

}  // namespace lumen
