#pragma once
// Functions of system libraries that only some paths of a run need, loaded
// on first use rather than at process start: under some platforms every
// library imported at start costs the first window tens of milliseconds
// (the common dialogs bring the print spooler's libraries with them).

#include <windows.h>

#include <string>

namespace lumen::win {

// The named function of a library in the system folder, or null. Only the
// system folder is searched, so a library of the same name lying beside the
// installer (in a downloads folder, say) is never loaded. The library stays
// loaded for the rest of the run.
template <typename Function>
[[nodiscard]] Function* system_function(const char* library, const char* name) noexcept {
  // By full path: the search flag for the system folder alone is missing
  // from systems without a later update.
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::string path = std::string(folder, length) + "\\" + library;
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) return nullptr;
  // Through the generic function pointer type, which any function pointer
  // may be cast from and back to.
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace lumen::win
