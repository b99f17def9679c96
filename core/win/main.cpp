// Process entry of the installer.

#include <windows.h>

#include <cfloat>

#include "core/program_state.hpp"
#include "core/win/built_in_signer.hpp"
#include "core/win/install_desktop.hpp"
#include "core/win/pinned_signer.hpp"
#include "core/win/startup.hpp"
#include "core/win/system_installer.hpp"
#include "runtime/win/files.hpp"
#include "runtime/win/message_loop.hpp"
#include "runtime/win/system_library.hpp"
#include "widgets/win/graphics_startup.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything loads a library: none from the installer's folder.
  lumen::win::restrict_library_search_to_system_folder();
  // The floating-point unit in its default state: the start-up code of some
  // systems leaves other precision or exception masks, and the progress
  // percentage is computed in double precision.
  _fpreset();
  // Relative paths and an empty working folder mean the installer's own folder.
  const lumen::Text folder = lumen::program_directory() + "\\";
  SetCurrentDirectoryA(folder.c_str());

  lumen::ProgramState& state = lumen::program_state();
  lumen::widgets::InitialiseWidgets(state.Widgets);

  // The program is placed only when signed by the key this build pins, if any.
  lumen::SystemInstaller installer(state.downloadCancelled, lumen::PlacementGateFor(lumen::BuiltInPayloadSigner()));
  lumen::SystemInstallDesktop desktop;
  // Without a window (a failed query, running copies kept) the run ends here.
  const auto window = lumen::StartUp(state, lumen::kBuiltInService, installer.installer(), desktop);
  if (window) lumen::run_message_loop();
  return 0;
}
