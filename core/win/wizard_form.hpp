#pragma once
// The installer's one window, built from the wizard design, with the
// handlers its controls are bound to.

#include <memory>

#include "core/program_state.hpp"
#include "runtime/win/forms/form.hpp"

namespace lumen::wizard {

class WizardForm {
 public:
  explicit WizardForm(ProgramState& state);

  // Creates the window and its controls, runs OnCreated and shows it.
  [[nodiscard]] bool Load() { return forms::load_window(form_); }
  [[nodiscard]] forms::Form& form() noexcept { return form_; }

  // Preparing the window and the licence.
  void OnCreated();
  void OnLicenceBoxClicked();
  void OnLicenceLabelPressed();
  void OnBackClicked();
  void OnMinimiseClicked();

  // The install action's handlers (install_handlers.cpp).
  void OnBrowseClicked();
  void OnInstallClicked();
  void OnRunClicked();
  void OnChooseClicked();
  void OnManualInstallClicked();
  void OnCloseClicked();
  // Pressing the failure notice on the manual-install page does nothing.
  void OnFailureNoticePressed() {}

 private:
  [[nodiscard]] forms::Handlers handlers();
  void make_title_button(std::string_view name, std::string_view light, std::string_view dark);

  ProgramState& state_;
  forms::Form form_;
};

// What the start-up calls: the wizard window, loaded without owner and not
// modal; null when it could not be created.
[[nodiscard]] std::unique_ptr<WizardForm> LoadWizardWindow(ProgramState& state);

}  // namespace lumen::wizard
