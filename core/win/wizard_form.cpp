#include "core/win/wizard_form.hpp"

#include "core/install_paths.hpp"
#include "core/win/design_images.hpp"
#include "core/win/window_icon.hpp"
#include "core/wizard_design.hpp"
#include "widgets/image_placement.hpp"
#include "widgets/win/png_button.hpp"
#include "widgets/win/window_shadow.hpp"

namespace lumen::wizard {
namespace {

using Member = void (WizardForm::*)();

// The member each handler of the design is; the compiler sees that every
// handler has one.
constexpr Member member_for(WizardHandler handler) noexcept {
  switch (handler) {
    case WizardHandler::OnCreated: return &WizardForm::OnCreated;
    case WizardHandler::OnCloseClicked: return &WizardForm::OnCloseClicked;
    case WizardHandler::OnMinimiseClicked: return &WizardForm::OnMinimiseClicked;
    case WizardHandler::OnBrowseClicked: return &WizardForm::OnBrowseClicked;
    case WizardHandler::OnLicenceBoxClicked: return &WizardForm::OnLicenceBoxClicked;
    case WizardHandler::OnLicenceLabelPressed: return &WizardForm::OnLicenceLabelPressed;
    case WizardHandler::OnBackClicked: return &WizardForm::OnBackClicked;
    case WizardHandler::OnInstallClicked: return &WizardForm::OnInstallClicked;
    case WizardHandler::OnRunClicked: return &WizardForm::OnRunClicked;
    case WizardHandler::OnChooseClicked: return &WizardForm::OnChooseClicked;
    case WizardHandler::OnManualInstallClicked: return &WizardForm::OnManualInstallClicked;
    case WizardHandler::OnSessionEnding: return &WizardForm::OnSessionEnding;
    case WizardHandler::OnFailureNoticePressed: return &WizardForm::OnFailureNoticePressed;
  }
  return nullptr;
}

}  // namespace

WizardForm::WizardForm(ProgramState& state, install::Installer& installer, InstallDesktop& desktop)
    : state_(state),
      installer_(installer),
      desktop_(desktop),
      form_(wizard_design(), handlers()),
      controls_(ResolveWizardControls(form_)),
      progress_display_(controls_.status_label, controls_.progress_bar),
      job_(installer, state.downloadCancelled) {}

void WizardForm::Open(DesignImages images) {
  glyphs_ = std::move(images.glyphs);
  form_.open(std::move(images.pictures));
}

forms::Handlers WizardForm::handlers() {
  forms::Handlers table(kWizardHandlerCount);
  for (std::size_t id = 0; id < kWizardHandlerCount; ++id) {
    const Member member = member_for(static_cast<WizardHandler>(id));
    table[id] = [this, member](const std::optional<forms::PointerPress>&) { (this->*member)(); };
  }
  return table;
}

void WizardForm::make_title_button(forms::ControlRef button, widgets::GdiplusImage light,
                                   widgets::GdiplusImage dark) {
  widgets::PngButton png;
  if (!png.MakeImageButton(button.native_handle())) return;
  // The dark glyph serves three states.
  widgets::GdiplusImage over = widgets::copy_of(dark);
  widgets::GdiplusImage disabled = widgets::copy_of(dark);
  png.SetImages(std::move(light), std::move(over), std::move(dark), std::move(disabled));
  png.SetBackType(widgets::kFitAndCentreImage);
}

void WizardForm::OnCreated() {
  (void)widgets::AttachShadow(form_.native_handle(), kShadowColour);
  ShowProgramIcon(form_.native_handle());
  make_title_button(controls_.close_button, std::move(glyphs_.close_light), std::move(glyphs_.close_dark));
  make_title_button(controls_.minimise_button, std::move(glyphs_.minimise_light), std::move(glyphs_.minimise_dark));
  form_.set_size(kShownWidth, kShownHeight);
  const Text& title = state_.AppInfo.agent_app.app_name;
  form_.set_title(title);
  controls_.title_label.set_text(title);
  controls_.folder_edit.set_text(DefaultInstallFolder(state_.AppInfo.name));
}

void WizardForm::OnLicenceBoxClicked() {
  const bool accepted = controls_.licence_box.checked();
  controls_.install_button.set_disabled(!accepted);
  controls_.install_button.set_look_back_colour(1, accepted ? kInstallEnabledFace : kInstallDisabledFace);
}

void WizardForm::OnLicenceLabelPressed() {
  controls_.licence_panel.set_visible(true);
  controls_.licence_panel.set_left(0);
  controls_.licence_panel.set_top(0);
}

void WizardForm::OnBackClicked() { controls_.licence_panel.set_visible(false); }

void WizardForm::OnMinimiseClicked() { form_.set_position_state(forms::WindowState::Minimised); }

std::unique_ptr<WizardForm> LoadWizardWindow(ProgramState& state, DesignImages images, install::Installer& installer,
                                             InstallDesktop& desktop) {
  auto wizard = std::make_unique<WizardForm>(state, installer, desktop);
  if (!wizard->Create()) return nullptr;
  wizard->Open(std::move(images));
  return wizard;
}

std::unique_ptr<WizardForm> LoadWizardWindow(ProgramState& state, install::Installer& installer,
                                             InstallDesktop& desktop) {
  return LoadWizardWindow(state, decode_design_images(state.Widgets), installer, desktop);
}

}  // namespace lumen::wizard
