#pragma once
// The installer's one window, built from the wizard design, with the
// handlers its controls are bound to. The install itself is the engine's
// (core/installer); the window turns its outcomes into messages and pages.

#include <memory>

#include "core/install_messages.hpp"
#include "core/installer/install_engine.hpp"
#include "core/program_state.hpp"
#include "core/win/design_images.hpp"
#include "core/win/install_desktop.hpp"
#include "core/win/sha256_digest.hpp"
#include "core/win/wizard_controls.hpp"
#include "http/win/url_transfer.hpp"
#include "runtime/win/forms/form.hpp"
#include "runtime/win/system_file_system.hpp"

namespace lumen::wizard {

class WizardForm {
 public:
  explicit WizardForm(ProgramState& state,
                      std::unique_ptr<InstallDesktop> desktop = std::make_unique<SystemInstallDesktop>(),
                      std::unique_ptr<install::ShortcutMaker> shortcuts = std::make_unique<SystemShortcutMaker>());

  // Creates the window and its controls, hidden; the start-up makes it while
  // the service is asked and the images decoded.
  [[nodiscard]] bool Create() { return form_.create(); }
  // Takes the images, runs OnCreated (which needs the service's answer) and
  // shows the window Create() made.
  void Open(DesignImages images);
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
  static void make_title_button(forms::ControlRef button, widgets::GdiplusImage light, widgets::GdiplusImage dark);

  // The automatic install behind the install button (install_handlers.cpp).
  void RunInstall();
  // What the install writes, from the run's state.
  [[nodiscard]] install::InstallJob Job() const;
  // Reports why the automatic install stopped and offers the manual one.
  void GiveUpInstall(const WizardMessage& message);
  MessageBoxAnswer Tell(const WizardMessage& message);
  // The folder cannot take the installation.
  void RefuseFolder(std::string_view folder);

  ProgramState& state_;
  std::unique_ptr<InstallDesktop> desktop_;
  std::unique_ptr<install::ShortcutMaker> shortcuts_;
  SystemFileSystem files_;
  WinInetOpener web_;
  SteadyClock clock_;
  CryptoSha256Maker digests_;
  install::InstallEngine engine_;
  // Until the creation handler gives them to the title bar's buttons.
  TitleGlyphs glyphs_;
  forms::Form form_;
  const WizardControls controls_;
  // Set while RunInstall runs: the download lets the window's messages
  // through, and no second install may start inside it.
  bool installing_ = false;
};

// What the start-up calls: the wizard window with the images decoded for it,
// loaded without owner and not modal; null when it could not be created.
[[nodiscard]] std::unique_ptr<WizardForm> LoadWizardWindow(
    ProgramState& state, DesignImages images,
    std::unique_ptr<InstallDesktop> desktop = std::make_unique<SystemInstallDesktop>(),
    std::unique_ptr<install::ShortcutMaker> shortcuts = std::make_unique<SystemShortcutMaker>());
// The same, decoding the images first.
[[nodiscard]] std::unique_ptr<WizardForm> LoadWizardWindow(
    ProgramState& state, std::unique_ptr<InstallDesktop> desktop = std::make_unique<SystemInstallDesktop>(),
    std::unique_ptr<install::ShortcutMaker> shortcuts = std::make_unique<SystemShortcutMaker>());

}  // namespace lumen::wizard
