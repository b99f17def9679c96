#pragma once
// The installer from process start to the wizard window on screen.

#include <memory>

#include "core/program_state.hpp"
#include "core/win/wizard_form.hpp"
#include "service/built_in_service.hpp"

namespace lumen {

// The start routine: reads the stamp, asks the service what to install, offers
// to end running copies of the application and loads the wizard window (made
// while the service is asked, shown only after it answered). Gives the window,
// or nothing when the run ends here: the query failed (nothing is shown), the
// user declined to end the running copies, or the window could not be created.
// The window installs through `installer` and meets the user through `desktop`.
[[nodiscard]] std::unique_ptr<wizard::WizardForm> StartUp(ProgramState& state, const ServiceEndpoint& service,
                                                          install::Installer& installer, InstallDesktop& desktop);

}  // namespace lumen
