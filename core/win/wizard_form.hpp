#pragma once
// The installer's one window, built from the wizard design, with the
// handlers its controls are bound to. The install itself is the installer's
// (core/installer), run as a job on a thread of its own; the window drives
// the job and turns its outcomes into messages and pages.

#include <memory>
#include <optional>

#include "core/install_messages.hpp"
#include "core/installer/installer.hpp"
#include "core/program_state.hpp"
#include "core/win/design_images.hpp"
#include "core/win/install_desktop.hpp"
#include "core/win/install_job_thread.hpp"
#include "core/win/wizard_controls.hpp"
#include "core/win/wizard_progress.hpp"
#include "runtime/win/forms/form.hpp"

namespace lumen::wizard {

class WizardForm {
 public:
  WizardForm(ProgramState& state, install::Installer& installer, InstallDesktop& desktop);

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
  // The close button, and every other request to close the window.
  void OnCloseClicked();
  // The session ends without asking: as a confirmed quit.
  void OnSessionEnding();
  // Pressing the failure notice on the manual-install page does nothing.
  void OnFailureNoticePressed() {}

 private:
  [[nodiscard]] forms::Handlers handlers();
  static void make_title_button(forms::ControlRef button, widgets::GdiplusImage light, widgets::GdiplusImage dark);

  // What the install writes, from the run's state.
  [[nodiscard]] install::InstallJob Job() const;
  // The job's reports, on this thread.
  void ShowProgress(const DownloadCount& count);
  void OnInstallEnded(const install::InstallResult& result);
  void ShowOutcome(const install::InstallResult& result);
  // Stops the install job, waits for it, bounded, and ends the process.
  void Quit();
  // Reports why the automatic install stopped and offers the manual one.
  void GiveUpInstall(const WizardMessage& message);
  MessageBoxAnswer Tell(const WizardMessage& message);
  // The folder cannot take the installation.
  void RefuseFolder(std::string_view folder);

  ProgramState& state_;
  install::Installer& installer_;
  InstallDesktop& desktop_;
  // Until the creation handler gives them to the title bar's buttons.
  TitleGlyphs glyphs_;
  forms::Form form_;
  const WizardControls controls_;
  WizardProgressDisplay progress_display_;
  // The quit question is open: one at a time, and the job's end waits for
  // the answer before it is shown.
  bool asking_to_quit_ = false;
  std::optional<install::InstallResult> end_awaiting_answer_;
  // Last: a job still running when the window goes is stopped first.
  InstallJobThread job_;
};

// The wizard window with the images decoded for it, loaded without owner and
// not modal; null when it could not be created.
[[nodiscard]] std::unique_ptr<WizardForm> LoadWizardWindow(ProgramState& state, DesignImages images,
                                                           install::Installer& installer, InstallDesktop& desktop);
// The same, decoding the images first.
[[nodiscard]] std::unique_ptr<WizardForm> LoadWizardWindow(ProgramState& state, install::Installer& installer,
                                                           InstallDesktop& desktop);

}  // namespace lumen::wizard
