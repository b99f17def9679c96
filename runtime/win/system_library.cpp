#include "runtime/win/system_library.hpp"

#include <cstring>

namespace lumen::win {

HMODULE load_system_library(const char* name) noexcept {
  // By full path: the search flag for the system folder alone is missing
  // from systems without a later update. No heap: the delay-load hook runs
  // this inside whatever call first needs the library.
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  const std::size_t name_length = std::strlen(name);
  if (length == 0 || length + 1 + name_length >= MAX_PATH) return nullptr;
  path[length] = '\\';
  std::memcpy(path + length + 1, name, name_length + 1);
  return LoadLibraryA(path);
}

}  // namespace lumen::win
