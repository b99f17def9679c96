#include "core/win/wizard_controls.hpp"

#include "core/wizard_design.hpp"

namespace lumen::wizard {

WizardControls ResolveWizardControls(forms::Form& form) {
  return {
      .close_button = form.control(kCloseButton),
      .minimise_button = form.control(kMinimiseButton),
      .title_label = form.control(kTitleLabel),
      .folder_edit = form.control(kFolderEdit),
      .licence_box = form.control(kLicenceBox),
      .licence_panel = form.control(kLicencePanel),
      .install_button = form.control(kInstallButton),
      .pages = form.control(kPages),
      .progress_bar = form.control(kProgressBar),
      .status_label = form.control(kStatusLabel),
      .program_file_edit = form.control(kProgramFileEdit),
      .file_dialog = form.control(kFileDialog),
  };
}

}  // namespace lumen::wizard
