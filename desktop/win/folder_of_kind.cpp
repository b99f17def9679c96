#include "desktop/win/folder_of_kind.hpp"

#include <windows.h>
#include <shlobj.h>

#include "runtime/win/shell.hpp"

namespace lumen {
namespace {

constexpr int kDesktopFolder = 3;
constexpr int kInternetCache = 12;

[[nodiscard]] Text internet_cache_folder() {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_INTERNET_CACHE, FALSE)) return {};
  Text folder(path);
  if (folder.empty()) return {};
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

Text FolderOfKind(int kind) {
  if (kind == 0) kind = kDesktopFolder;
  if (kind == kInternetCache) return internet_cache_folder();
  return special_folder(kind);
}

}  // namespace lumen
