#include "core/win/install_folder.hpp"

#include <windows.h>
#include <dbghelp.h>
#include <shlwapi.h>

#include "core/install_paths.hpp"
#include "runtime/convert.hpp"
#include "runtime/text.hpp"
#include "runtime/win/unique_handle.hpp"

namespace lumen {

bool EnsureFolderPath(std::string_view path) {
  const Text folder = WithTrailingBackslash(path);
  return MakeSureDirectoryPathExists(folder.c_str()) != FALSE;
}

bool IsExistingFolder(std::string_view path) {
  const Text folder(path);
  return PathIsDirectoryA(folder.c_str()) == FILE_ATTRIBUTE_DIRECTORY;
}

// A new file of a name nobody uses, gone again when its handle closes. (The
// system's temporary-name call is no test: some systems report a name even
// when the file could not be created.)
bool CanCreateFilesIn(std::string_view folder) {
  const Text stem = WithTrailingBackslash(folder) + "~lumen-probe-" + to_text(std::int64_t{GetCurrentProcessId()});
  for (std::int32_t attempt = 0; attempt < 100; ++attempt) {
    const Text probe = stem + "-" + to_text(attempt) + ".tmp";
    const win::FileHandle file(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (file) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool PrepareInstallFolder(std::string_view folder) {
  (void)EnsureFolderPath(folder);
  return IsExistingFolder(folder) && CanCreateFilesIn(folder);
}

}  // namespace lumen
