// Shows the wizard window for the sample product, as the start-up will once
// the service has answered: the GUI tests look at it and drive it.

#include <windows.h>

#include "core/program_state.hpp"
#include "core/win/install_desktop.hpp"
#include "core/win/system_installer.hpp"
#include "core/win/wizard_form.hpp"
#include "runtime/win/message_loop.hpp"
#include "widgets/win/graphics_startup.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  lumen::ProgramState& state = lumen::program_state();
  state.AppInfo.name = "StarlitPad";
  state.AppInfo.agent_app.app_name = "星光记事本";
  lumen::widgets::InitialiseWidgets(state.Widgets);
  lumen::SystemInstaller installer(state.downloadCancelled, nullptr);
  lumen::SystemInstallDesktop desktop;
  const auto wizard = lumen::wizard::LoadWizardWindow(state, installer.installer(), desktop);
  if (!wizard) return 1;
  lumen::run_message_loop();
  return 0;
}
