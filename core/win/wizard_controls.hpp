#pragma once
// The wizard window's controls that its handlers use, resolved once when the
// window is made.

#include "runtime/win/forms/form.hpp"

namespace lumen::wizard {

struct WizardControls {
  forms::ControlRef close_button;
  forms::ControlRef minimise_button;
  forms::ControlRef title_label;
  forms::ControlRef folder_edit;
  forms::ControlRef licence_box;
  forms::ControlRef licence_panel;
  forms::ControlRef install_button;
  forms::ControlRef pages;
  forms::ControlRef progress_bar;
  forms::ControlRef status_label;
  forms::ControlRef program_file_edit;
  forms::ControlRef file_dialog;
};

// Every name comes from the wizard's design; a name the design lacks stops
// debug builds here, at the window's making, not at the first click.
[[nodiscard]] WizardControls ResolveWizardControls(forms::Form& form);

}  // namespace lumen::wizard
