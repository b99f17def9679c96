// Process entry of the installer.

#include <windows.h>

#include <cfloat>

#include "core/program_state.hpp"
#include "core/win/read_stamped_id.hpp"
#include "runtime/win/files.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  _fpreset();
  // Relative paths and an empty working folder mean the installer's own folder.
  const lumen::Text folder = lumen::program_directory() + "\\";
  SetCurrentDirectoryA(folder.c_str());

  lumen::ProgramState& state = lumen::program_state();
  lumen::ReadStampedId(state);
  return 0;
}
