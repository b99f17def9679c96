#pragma once
// The loader of the libraries linked to load late (see
// cmake/LateSystemLibraries.cmake): the delay-load helper's notification
// hook, compiled into every program that links one.

#include <windows.h>
#include <delayimp.h>

namespace lumen::win {

// Loads the library the helper is about to load from the system folder, by
// full path, so that the helper never falls back to the ordinary search.
// When the system folder lacks it, raises the helper's own "module not found"
// exception, which ends the run as a missing import would have at start.
FARPROC WINAPI load_late_system_library(unsigned notification, PDelayLoadInfo info);

}  // namespace lumen::win
