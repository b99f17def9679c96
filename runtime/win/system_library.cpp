#include "runtime/win/system_library.hpp"

#include <cstring>

namespace lumen::win {
namespace {

using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);

// Looked up at run time: systems without the 2011 update lack it, and with
// it the search flags of LoadLibraryExA.
SetDefaultDllDirectoriesCall set_default_dll_directories() noexcept {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<SetDefaultDllDirectoriesCall>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
}

}  // namespace

void restrict_library_search_to_system_folder() noexcept {
  const SetDefaultDllDirectoriesCall restrict = set_default_dll_directories();
  if (restrict != nullptr && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // Without it, at least the working folder (the installer's own, see
  // WinMain) leaves the ordinary search.
  SetDllDirectoryA("");
}

HMODULE load_system_library(const char* name) noexcept {
  // No heap: the delay-load hook runs this inside whatever call first needs
  // the library.
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  const std::size_t name_length = std::strlen(name);
  if (length == 0 || length + 1 + name_length >= MAX_PATH) return nullptr;
  path[length] = '\\';
  std::memcpy(path + length + 1, name, name_length + 1);
  // The library's own imports: from the system folder alone where the
  // system has the flag; elsewhere its folder, the system folder, searched
  // before the program's (which the ordinary search would try first).
  const DWORD search = set_default_dll_directories() != nullptr ? LOAD_LIBRARY_SEARCH_SYSTEM32
                                                                 : LOAD_WITH_ALTERED_SEARCH_PATH;
  return LoadLibraryExA(path, nullptr, search);
}

}  // namespace lumen::win
