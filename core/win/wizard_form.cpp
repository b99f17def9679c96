#include "core/win/wizard_form.hpp"

#include "core/install_paths.hpp"
#include "core/win/design_images.hpp"
#include "core/wizard_design.hpp"
#include "widgets/image_placement.hpp"
#include "widgets/win/png_button.hpp"
#include "widgets/win/window_shadow.hpp"

namespace lumen::wizard {

WizardForm::WizardForm(ProgramState& state, std::unique_ptr<InstallDesktop> desktop)
    : state_(state),
      desktop_(std::move(desktop)),
      form_(wizard_design(), handlers(), design_pictures(state.Widgets)) {}

forms::Handlers WizardForm::handlers() {
  using Member = void (WizardForm::*)();
  const std::pair<const char*, Member> bound[] = {
      {"OnCreated", &WizardForm::OnCreated},
      {"OnCloseClicked", &WizardForm::OnCloseClicked},
      {"OnMinimiseClicked", &WizardForm::OnMinimiseClicked},
      {"OnBrowseClicked", &WizardForm::OnBrowseClicked},
      {"OnLicenceBoxClicked", &WizardForm::OnLicenceBoxClicked},
      {"OnLicenceLabelPressed", &WizardForm::OnLicenceLabelPressed},
      {"OnBackClicked", &WizardForm::OnBackClicked},
      {"OnInstallClicked", &WizardForm::OnInstallClicked},
      {"OnRunClicked", &WizardForm::OnRunClicked},
      {"OnChooseClicked", &WizardForm::OnChooseClicked},
      {"OnManualInstallClicked", &WizardForm::OnManualInstallClicked},
      {"OnFailureNoticePressed", &WizardForm::OnFailureNoticePressed},
  };
  forms::Handlers table;
  for (const auto& [name, member] : bound) {
    table.emplace(name, [this, member = member](const std::optional<forms::PointerPress>&) { (this->*member)(); });
  }
  return table;
}

void WizardForm::make_title_button(std::string_view name, std::string_view light, std::string_view dark) {
  widgets::PngButton button;
  if (!button.MakeImageButton(form_.control(name).native_handle())) return;
  const widgets::WidgetState& images = state_.Widgets;
  button.SetImages(design_image(light, images), design_image(dark, images), design_image(dark, images),
                   design_image(dark, images));
  button.SetBackType(widgets::kFitAndCentreImage);
}

void WizardForm::OnCreated() {
  (void)widgets::AttachShadow(form_.native_handle(), kShadowColour);
  make_title_button(kCloseButton, kCloseGlyphLight, kCloseGlyphDark);
  make_title_button(kMinimiseButton, kMinimiseGlyphLight, kMinimiseGlyphDark);
  form_.set_size(kShownWidth, kShownHeight);
  const Text& title = state_.AppInfo.agent_app.app_name;
  form_.set_title(title);
  form_.control(kTitleLabel).set_text(title);
  form_.control(kFolderEdit).set_text(DefaultInstallFolder(state_.AppInfo.name));
}

void WizardForm::OnLicenceBoxClicked() {
  const bool accepted = form_.control(kLicenceBox).checked();
  const forms::ControlRef install = form_.control(kInstallButton);
  install.set_disabled(!accepted);
  install.set_look_back_colour(1, accepted ? kInstallEnabledFace : kInstallDisabledFace);
}

void WizardForm::OnLicenceLabelPressed() {
  const forms::ControlRef panel = form_.control(kLicencePanel);
  panel.set_visible(true);
  panel.set_left(0);
  panel.set_top(0);
}

void WizardForm::OnBackClicked() { form_.control(kLicencePanel).set_visible(false); }

void WizardForm::OnMinimiseClicked() { form_.set_position_state(2); }

std::unique_ptr<WizardForm> LoadWizardWindow(ProgramState& state, std::unique_ptr<InstallDesktop> desktop) {
  auto wizard = std::make_unique<WizardForm>(state, std::move(desktop));
  if (!wizard->Load()) return nullptr;
  return wizard;
}

}  // namespace lumen::wizard
