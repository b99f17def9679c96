#include "desktop/win/folder_of_kind.hpp"

#include <windows.h>
#include <shlobj.h>

#include "runtime/folder_path.hpp"
#include "runtime/win/shell.hpp"

namespace lumen {
namespace {

// Kinds beyond the runtime's own: 0 means the desktop, 12 the browser's cache.
constexpr int kDefaultKind = 0;
constexpr int kInternetCache = 12;

[[nodiscard]] Text internet_cache_folder() {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_INTERNET_CACHE, FALSE)) return {};
  if (path[0] == '\0') return {};
  return WithTrailingBackslash(path);
}

}  // namespace

Text FolderOfKind(int kind) {
  if (kind == kDefaultKind) return special_folder(SpecialFolder::Desktop);
  if (kind == kInternetCache) return internet_cache_folder();
  return special_folder(static_cast<SpecialFolder>(kind));
}

}  // namespace lumen
