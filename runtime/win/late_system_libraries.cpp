#include "runtime/win/late_system_libraries.hpp"

#include "runtime/win/system_library.hpp"

namespace lumen::win {

FARPROC WINAPI load_late_system_library(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary) return nullptr;
  HMODULE module = load_system_library(info->szDll);
  if (module == nullptr) {
    ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
    RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 1, &argument);
  }
  return reinterpret_cast<FARPROC>(module);
}

}  // namespace lumen::win

// The helper reads its hook from this variable of its own interface.
PfnDliHook __pfnDliNotifyHook2 = &lumen::win::load_late_system_library;
